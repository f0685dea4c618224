#include "pages/data_op_page.h"

#include <array>
#include <optional>

#include "common/hex_codec.h"
#include "common/key_data_checks.h"
#include "crypto/hex_byte_ops.h"

namespace {

using Operation = CDataOpPage::Operation;

struct OperationRow {
    Operation operation;
    const char* name;
    const char* caption;
    bool uses_source2;
};

// In the window's reading order: two rows of four.
constexpr std::array<OperationRow, 8> kOperations = {{
    {Operation::And, "and", "与AND运算", true},
    {Operation::Xor, "xor", "异或XOR运算", true},
    {Operation::XorSum, "xorsum", "异或和", false},
    {Operation::Add, "add", "多字节相加", true},
    {Operation::Or, "or", "或OR运算", true},
    {Operation::Not, "not", "取反NOT运算", false},
    {Operation::Sum, "sum", "累加和", false},
    {Operation::Sub, "sub", "多字节相减", true},
}};

constexpr bool InEnumOrder() {
    for (size_t i = 0; i < kOperations.size(); ++i) {
        if (static_cast<size_t>(kOperations[i].operation) != i) {
            return false;
        }
    }
    return true;
}
static_assert(InEnumOrder(), "the choices of the op group are the Operation values in order");

const OperationRow& RowOf(Operation operation) {
    return kOperations[static_cast<size_t>(operation)];
}

// CheckSource refuses an odd number of digits or a character that is not hex; empty passes.
ActionResult CheckSource(std::string_view text) {
    return CheckHexData(text, "XOR Data should be even , and not be odd , Pls Check !!!",
                        " byte of the XOR Data is the illegal, Pls Check !!!");
}

std::string Run(Operation operation, std::string_view src1, std::string_view src2) {
    switch (operation) {
        case Operation::And:
            return HexBitwise(src1, src2, BitwiseOp::And);
        case Operation::Or:
            return HexBitwise(src1, src2, BitwiseOp::Or);
        case Operation::Xor:
            return HexBitwise(src1, src2, BitwiseOp::Xor);
        case Operation::XorSum:
            return HexByteSum(src1, ByteSumOp::Xor);
        case Operation::Sum:
            return HexByteSum(src1, ByteSumOp::Add);
        case Operation::Add:
            return HexAdd(src1, src2);
        case Operation::Sub:
            return HexSubtract(src1, src2);
        case Operation::Not:
            return HexNot(src1);
    }
    return {};
}

}  // namespace

CDataOpPage::CDataOpPage() : CPage("dataop", "数据运算") {
    AddField({.id = "src1",
              .label = "源数据(1)",
              .role = Role::Input,
              .counter_rule = CounterRule::Bytes});
    AddField({.id = "src2",
              .label = "源数据(2)",
              .role = Role::Input,
              .counter_rule = CounterRule::Bytes});
    AddField({.id = "result",
              .label = "运算结果",
              .role = Role::Result,
              .counter_rule = CounterRule::Manual,
              .read_only = true});
    std::vector<Choice> choices;
    for (const OperationRow& row : kOperations) {
        choices.push_back({row.name, row.caption});
    }
    m_op = AddOptionOf<Operation>(
        {.id = "op", .caption = "运算选择", .choices = std::move(choices), .columns = 4});
    AddButton("compute", "计算", [this] { return OnCompute(); });
    AddButton("clear", "清空", [this] { return OnClear(); });
    AddSection({.caption = "数据运算算法",
                .fields = {"src1", "src2", "result"},
                .options = {"op"},
                .buttons = {"compute", "clear"}});
    EnableSource2();
}

void CDataOpPage::OnOptionChosen(const std::string& group_id) {
    CPage::OnOptionChosen(group_id);
    if (m_op.Is(group_id)) {
        EnableSource2();
    }
}

void CDataOpPage::EnableSource2() {
    SetEnabled("src2", RowOf(Chosen(m_op)).uses_source2);
}

ActionResult CDataOpPage::OnCompute() {
    const std::string src1 = RemoveBlanks(Text("src1"));
    const std::string src2 = RemoveBlanks(Text("src2"));
    // Source 2 is checked whatever the operation, also while it is disabled.
    if (ActionResult refusal = CheckSource(src1)) {
        return refusal;
    }
    if (ActionResult refusal = CheckSource(src2)) {
        return refusal;
    }
    const std::string result = Run(Chosen(m_op), src1, src2);
    SetText("result", result);
    SetCounter("result", FormatCount(static_cast<long long>(result.size() / 2)));
    return std::nullopt;
}

ActionResult CDataOpPage::OnClear() {
    SetText("src1", "");
    SetText("src2", "");
    SetText("result", "");
    // The result counter keeps its last text.
    SetCounter("src1", "");
    SetCounter("src2", "");
    return std::nullopt;
}
