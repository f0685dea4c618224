#include "pages/checksum_page.h"

#include <array>
#include <cstdio>
#include <optional>
#include <span>
#include <vector>

#include "common/hex_codec.h"
#include "crypto/hash/crc.h"
#include "crypto/hash/lrc.h"
#include "crypto/hash/md5.h"
#include "crypto/hash/sha1.h"
#include "crypto/hash/sha256.h"
#include "crypto/hash/sha512.h"

namespace {

using Check = CChecksumPage::Check;

struct CheckRow {
    Check check;
    const char* name;
    const char* caption;
};

// In the window's reading order: two rows of four.
constexpr std::array<CheckRow, 8> kChecks = {{
    {Check::Sha1, "sha1", "SHA-1校验"},
    {Check::Sha256, "sha256", "SHA256校验"},
    {Check::Md5, "md5", "MD5校验"},
    {Check::Crc16, "crc16", "CRC16校验"},
    {Check::Sha384, "sha384", "SHA384校验"},
    {Check::Sha512, "sha512", "SHA512校验"},
    {Check::Lrc, "lrc", "LRC校验"},
    {Check::Crc32, "crc32", "CRC32校验"},
}};

constexpr bool InEnumOrder() {
    for (size_t i = 0; i < kChecks.size(); ++i) {
        if (static_cast<size_t>(kChecks[i].check) != i) {
            return false;
        }
    }
    return true;
}
static_assert(InEnumOrder(), "the choices of the type group are the Check values in order");

// ChecksumText writes a checksum as "%02x" turned to upper case: no leading zeros beyond the
// second digit (0x0A1B gives A1B, 0 gives 00).
std::string ChecksumText(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value));
    return text;
}

std::string Run(Check check, const std::string& hex) {
    const std::vector<uint8_t> bytes = HexToBytes(hex);
    switch (check) {
        case Check::Sha1:
            // An odd last digit converts as for the other digests (ABC hashes AB C0).
            return BytesToHex(Sha1Hash(bytes));
        case Check::Sha256:
            return BytesToHex(Sha256Hash(bytes));
        case Check::Sha384:
            return BytesToHex(Sha384Hash(bytes));
        case Check::Sha512:
            return BytesToHex(Sha512Hash(bytes));
        case Check::Md5:
            // MD5 hashes whole digit pairs only: the byte of an odd last digit is left out.
            return BytesToHex(Md5Hash(std::span(bytes).first(hex.size() / 2)));
        case Check::Crc16:
            return ChecksumText(Crc16(bytes));
        case Check::Crc32:
            return ChecksumText(Crc32(bytes));
        case Check::Lrc:
            return ChecksumText(Lrc(bytes));
    }
    return {};
}

}  // namespace

CChecksumPage::CChecksumPage() : CPage("checksum", "校验运算") {
    AddField({.id = "data",
              .label = "数据：",
              .role = Role::Input,
              .kind = FieldKind::MultiLine,
              .counter_rule = CounterRule::Bytes,
              .label_role = Role::Plain});
    AddField({.id = "result",
              .label = "结果：",
              .role = Role::Result,
              .counter_rule = CounterRule::Manual,
              .label_role = Role::Plain,
              .read_only = true});
    std::vector<Choice> choices;
    for (const CheckRow& row : kChecks) {
        choices.push_back({row.name, row.caption, Role::Plain});
    }
    m_type = AddOptionOf<Check>({.id = "type",
                                 .caption = "类型选择",
                                 .choices = std::move(choices),
                                 .columns = 4,
                                 .caption_role = Role::Plain});
    AddButton("compute", "计算", [this] { return OnCompute(); });
    AddButton("clear", "清空", [this] { return OnClear(); });
    AddSection({.caption = "校验运算算法",
                .fields = {"data", "result"},
                .options = {"type"},
                .buttons = {"compute", "clear"}});
}

ActionResult CChecksumPage::OnCompute() {
    const Check check = Chosen(m_type);
    // Only blanks go: a tab or a line break is reported as an illegal byte.
    const std::string data = RemoveBlanks(Text("data"));
    // An empty text and an odd number of digits pass; there is no length limit.
    if (const int position = CheckHexText(data); position != 0) {
        return IllegalByteBox(position, " byte of the SHA Data is the illegal, Pls Check !!!");
    }
    const std::string result = Run(check, data);
    SetText("result", result);
    SetCounter("result", FormatCount(static_cast<long long>(result.size() / 2)));
    return std::nullopt;
}

ActionResult CChecksumPage::OnClear() {
    // In this order, so that the data counter ends empty rather than showing 00.
    SetText("data", "");
    SetCounter("data", "");
    SetCounter("result", "");
    SetText("result", "");
    return std::nullopt;
}
