#include "pages/emv_page.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "common/hex_codec.h"
#include "common/key_data_checks.h"
#include "tlv/tlv_reader.h"

namespace {

// The worked PBOC 3DES example of a 13-digit PAN, so that the page computes something at once.
constexpr const char* kDefaultMk = "F0C34A8124CEE0A91A0B034AA97D6EAC";
constexpr const char* kDefaultPan = "6228000100001";
constexpr const char* kDefaultPsn = "01";
constexpr const char* kDefaultAtc = "0240";
constexpr const char* kDefaultData =
    "000000000001000000000000015600800460000156140701001E78EEBC7D00024003A04002";
constexpr const char* kDefaultArc = "3031";

constexpr const char* kVerified = "ARQC 验证正确";
constexpr const char* kNotVerified = "ARQC 验证错误";

const std::array kInputIds = {"mk",   "pan", "psn", "atc",      "un", "data",
                              "arqc", "arc", "csu", "propdata", "f55"};
const std::array kResultIds = {"udkey", "sk", "ac", "arpc_out", "trace"};

// A fixed-length field that may be left empty.
struct FixedField {
    const char* name;  // as the messages name it
    size_t bytes;
};

ActionResult CheckFixed(const std::string& text, const FixedField& field) {
    if (text.empty()) {
        return std::nullopt;
    }
    if (text.size() != 2 * field.bytes) {
        return ErrorBox(std::string(field.name) + " should be " + std::to_string(field.bytes) +
                        (field.bytes == 1 ? " byte" : " bytes") + ", Pls input the correct !!!");
    }
    if (const int p = CheckHexText(text); p > 0) {
        return IllegalByteBox(
            p, " byte of the " + std::string(field.name) + " is the illegal, Pls Check !!!");
    }
    return std::nullopt;
}

// The PAN as typed or read from tag 5A: its one trailing F (the pad of an odd digit count) is not
// a digit of the PAN.
std::string PanDigits(const std::string& pan) {
    if (!pan.empty() && (pan.back() == 'F' || pan.back() == 'f')) {
        return pan.substr(0, pan.size() - 1);
    }
    return pan;
}

ActionResult CheckInputs(const CEmvPage::Inputs& in) {
    const bool needs_pan = in.udk != EmvUdkMethod::MasterKey;
    if (in.mk.empty() || (needs_pan && in.pan.empty())) {
        return ErrorBox("Issuer Master Key or PAN can not be null, Pls input !!!");
    }
    if (in.mk.size() != 32) {
        return ErrorBox("Issuer Master Key should be 16 bytes, Pls input the correct !!!");
    }
    if (const int p = CheckHexText(in.mk); p > 0) {
        return IllegalByteBox(p, " byte of the Issuer Master Key is the illegal, Pls Check !!!");
    }
    if (!in.pan.empty()) {
        const std::string pan = PanDigits(in.pan);
        if (pan.empty() || pan.size() > 19) {
            return ErrorBox("PAN should be 1 to 19 digits, Pls input the correct !!!");
        }
        const auto bad =
            std::find_if(pan.begin(), pan.end(), [](char c) { return c < '0' || c > '9'; });
        if (bad != pan.end()) {
            return ErrorBox("The " + std::to_string(bad - pan.begin() + 1) +
                            " digit of the PAN is the illegal, Pls Check !!!");
        }
    }
    for (const auto& [text, field] :
         {std::pair{&in.psn, FixedField{"PSN", 1}}, std::pair{&in.atc, FixedField{"ATC", 2}},
          std::pair{&in.un, FixedField{"UN", 4}}}) {
        if (auto refusal = CheckFixed(*text, field)) {
            return refusal;
        }
    }
    if (auto refusal = CheckHexData(
            in.data, "Transaction Data should be even , and not be odd , Pls Check !!!",
            " byte of the Transaction Data is the illegal, Pls Check !!!")) {
        return refusal;
    }
    for (const auto& [text, field] :
         {std::pair{&in.arqc, FixedField{"ARQC", 8}}, std::pair{&in.arc, FixedField{"ARC", 2}},
          std::pair{&in.csu, FixedField{"CSU", 4}}}) {
        if (auto refusal = CheckFixed(*text, field)) {
            return refusal;
        }
    }
    if (in.propdata.size() > 16) {
        return ErrorBox("Proprietary Data should be 0 to 8 bytes, Pls input the correct !!!");
    }
    if (auto refusal = CheckHexData(
            in.propdata, "Proprietary Data should be even , and not be odd , Pls Check !!!",
            " byte of the Proprietary Data is the illegal, Pls Check !!!")) {
        return refusal;
    }

    // The choices that have no SM4 form.
    if (in.cipher == EmvCipher::Sm4) {
        if (in.udk == EmvUdkMethod::OptionB) {
            return ErrorBox(
                "SM4 has no form of UDK Option B, Pls choose 方法A or 主密钥即卡片密钥 !!!");
        }
        if (in.session == EmvSessionMethod::Common || in.session == EmvSessionMethod::Mastercard) {
            return ErrorBox(std::string("SM4 has no form of the ") +
                            (in.session == EmvSessionMethod::Common ? "EMV common" : "Mastercard") +
                            " session key, Pls choose pboc or none !!!");
        }
        if (in.padding == CEmvPage::Padding::Method1) {
            return ErrorBox("SM4 MAC pads by method 2 only (80 00..), Pls choose m2 !!!");
        }
        if (in.arpc == EmvArpcMethod::Method2) {
            return ErrorBox("SM4 has no form of ARPC method 2, Pls choose m1 !!!");
        }
    }
    return std::nullopt;
}

template <size_t N>
std::array<uint8_t, N> FixedBytes(const std::string& hex) {
    std::array<uint8_t, N> out{};
    const std::vector<uint8_t> bytes = HexToBytes(hex);
    std::copy_n(bytes.begin(), std::min(bytes.size(), N), out.begin());
    return out;
}

// An optional fixed-length value: absent when its field is empty.
template <size_t N>
std::optional<std::array<uint8_t, N>> Given(const std::string& hex) {
    if (hex.empty()) {
        return std::nullopt;
    }
    return FixedBytes<N>(hex);
}

// The engine's inputs from checked ones.
EmvCryptogramInputs EngineInputs(const CEmvPage::Inputs& in) {
    return {.cipher = in.cipher,
            .udk_method = in.udk,
            .session_method = in.session,
            .padding = in.padding == CEmvPage::Padding::Method1 ? EmvPadding::Method1
                                                                : EmvPadding::Method2,
            .arpc_method = in.arpc,
            .arpc_key = in.arpc_key,
            .imk = FixedBytes<16>(in.mk),
            .pan = PanDigits(in.pan),
            .psn = in.psn.empty() ? std::nullopt : std::optional<uint8_t>(HexToBytes(in.psn)[0]),
            .atc = Given<2>(in.atc),
            .un = Given<4>(in.un),
            .data = HexToBytes(in.data),
            .arqc = Given<8>(in.arqc),
            .arc = Given<2>(in.arc),
            .csu = Given<4>(in.csu),
            .proprietary = HexToBytes(in.propdata)};
}

// Field 55: the tags a cryptogram needs, the CDOL1 values in the order the data takes them.
constexpr std::array<const char*, 8> kCdol1Tags = {"9F02", "9F03", "9F1A", "95",
                                                   "5F2A", "9A",   "9C",   "9F37"};
constexpr std::array<const char*, 13> kRequiredTags = {
    "5A", "9F36", "9F37", "9F26", "9F02", "9F03", "9F1A", "95", "5F2A", "9A", "9C", "82", "9F10"};
struct TagLength {
    const char* tag;
    size_t bytes;
};
constexpr std::array<TagLength, 12> kTagLengths = {{{"9F02", 6},
                                                    {"9F03", 6},
                                                    {"9F1A", 2},
                                                    {"95", 5},
                                                    {"5F2A", 2},
                                                    {"9A", 3},
                                                    {"9C", 1},
                                                    {"9F37", 4},
                                                    {"82", 2},
                                                    {"9F36", 2},
                                                    {"9F26", 8},
                                                    {"5F34", 1}}};

// A cryptogram version: the options it sets and the part of the IAD that ends the data.
struct CryptogramVersion {
    CEmvPage::Version version;
    const char* title;
    std::optional<EmvCipher> cipher;  // absent: the algorithm stays as chosen
    EmvUdkMethod udk;
    EmvSessionMethod session;
    CEmvPage::Padding padding;
    EmvArpcMethod arpc;
    EmvArpcKey arpc_key;
    size_t iad_offset;  // from 0
    size_t iad_length;  // 0: the whole IAD
    const char* iad_part;
};
using V = CEmvPage::Version;
using Udk = EmvUdkMethod;
using Sk = EmvSessionMethod;
using Pad = CEmvPage::Padding;
using Arpc = EmvArpcMethod;
using Key = EmvArpcKey;
constexpr std::array<CryptogramVersion, 4> kVersions = {{
    {V::Visa10, "Visa CVN 10", EmvCipher::Tdes, Udk::OptionA, Sk::None, Pad::Method1, Arpc::Method1,
     Key::CardKey, 3, 4, "CVR, IAD bytes 4-7"},
    {V::Visa18, "Visa CVN 18", EmvCipher::Tdes, Udk::OptionB, Sk::Common, Pad::Method2,
     Arpc::Method2, Key::SessionKey, 0, 0, "the whole IAD"},
    {V::Mastercard16, "Mastercard CVN 16", EmvCipher::Tdes, Udk::OptionA, Sk::Mastercard,
     Pad::Method2, Arpc::Method1, Key::CardKey, 2, 6, "CVR, IAD bytes 3-8"},
    {V::Pboc, "PBOC", std::nullopt, Udk::OptionA, Sk::Pboc, Pad::Method2, Arpc::Method1,
     Key::SessionKey, 3, 4, "CVR, IAD bytes 4-7"},
}};

// Field 55 as typed: blanks, tabs and line breaks are layout.
std::string RemoveLayout(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            out.push_back(c);
        }
    }
    return out;
}

// ReadField55 puts the card's values of field 55 and the options of `version` (nullptr: none
// chosen) into `in`, and what it read into `trace`; or refuses field 55, changing nothing.
ActionResult ReadField55(std::string_view typed, const CryptogramVersion* version,
                         CEmvPage::Inputs& in, CTrace& trace) {
    const std::string f55 = RemoveLayout(typed);
    if (f55.empty()) {
        return ErrorBox("Field 55 can not be null, Pls input !!!");
    }
    if (auto refusal = CheckHexData(f55, "Field 55 should be even , and not be odd , Pls Check !!!",
                                    " byte of the Field 55 is the illegal, Pls Check !!!")) {
        return refusal;
    }
    const std::vector<uint8_t> bytes = HexToBytes(f55);
    std::optional<std::vector<TlvItem>> items = SplitTlvItems(bytes);
    // A dump that keeps the field's own tag 55 around the objects.
    if (items && items->size() == 1 && BytesToHex((*items)[0].tag) == "55") {
        items = SplitTlvItems((*items)[0].value);
    }
    if (!items) {
        return ErrorBox("Field 55 is not a list of TLV objects, Pls Check !!!");
    }
    const auto find = [&](std::string_view tag) -> const TlvItem* {
        for (const TlvItem& item : *items) {
            if (BytesToHex(item.tag) == tag) {
                return &item;
            }
        }
        return nullptr;
    };
    std::string missing;
    for (const char* tag : kRequiredTags) {
        if (find(tag) == nullptr) {
            missing += (missing.empty() ? "" : ", ") + std::string(tag);
        }
    }
    if (!missing.empty()) {
        return ErrorBox("Field 55 lacks the tags " + missing + ", Pls Check !!!");
    }
    for (const TagLength& expected : kTagLengths) {
        const TlvItem* item = find(expected.tag);
        if (item != nullptr && item->value.size() != expected.bytes) {
            return ErrorBox("Tag " + std::string(expected.tag) + " of Field 55 should be " +
                            std::to_string(expected.bytes) +
                            (expected.bytes == 1 ? " byte" : " bytes") + ", Pls Check !!!");
        }
    }
    if (version == nullptr) {
        return ErrorBox("Pls choose the cryptogram version of Field 55 !!!");
    }
    const std::span<const uint8_t> iad = find("9F10")->value;
    if (version->iad_length != 0 && iad.size() < version->iad_offset + version->iad_length) {
        return ErrorBox("Tag 9F10 of Field 55 should be at least " +
                        std::to_string(version->iad_offset + version->iad_length) + " bytes for " +
                        version->title + ", Pls Check !!!");
    }
    const std::span<const uint8_t> iad_part =
        version->iad_length == 0 ? iad : iad.subspan(version->iad_offset, version->iad_length);

    in.pan = BytesToHex(find("5A")->value);
    const TlvItem* psn = find("5F34");
    in.psn = psn != nullptr ? BytesToHex(psn->value) : "00";
    in.atc = BytesToHex(find("9F36")->value);
    in.un = BytesToHex(find("9F37")->value);
    in.arqc = BytesToHex(find("9F26")->value);
    in.data.clear();
    for (const char* tag : kCdol1Tags) {
        in.data += BytesToHex(find(tag)->value);
    }
    in.data += BytesToHex(find("82")->value) + BytesToHex(find("9F36")->value);
    in.data += BytesToHex(iad_part);
    in.cipher = version->cipher.value_or(in.cipher);
    in.udk = version->udk;
    in.session = version->session;
    in.padding = version->padding;
    in.arpc = version->arpc;
    in.arpc_key = version->arpc_key;

    trace.Text("Field 55", version->title);
    trace.Value("IAD (9F10)", iad);
    trace.Value(std::string("IAD part in the data (") + version->iad_part + ")", iad_part);
    if (psn == nullptr) {
        trace.Note("PSN (5F34): absent, 00");
    }
    return std::nullopt;
}

}  // namespace

CEmvPage::CEmvPage() : CPage("emv", "EMV 运算") {
    const auto input = [this](const char* id, const char* label, Role role = Role::Input) {
        AddField({.id = id, .label = label, .role = role, .counter_rule = CounterRule::Bytes});
    };
    input("mk", "发卡行主密钥：", Role::Key);
    AddField({.id = "pan", .label = "主账号(PAN)：", .role = Role::Input});
    input("psn", "卡片序列号(PSN)：");
    input("atc", "交易计数器(ATC)：");
    input("un", "不可预知数(UN)：");
    input("data", "交易数据：");
    input("arqc", "卡片密文(ARQC)：");
    input("arc", "授权响应码(ARC)：");
    input("csu", "卡片状态更新(CSU)：");
    input("propdata", "专有数据：");
    AddField({.id = "f55",
              .label = "55域数据：",
              .role = Role::Input,
              .kind = FieldKind::MultiLine,
              .counter_rule = CounterRule::Bytes});
    const auto result = [this](const char* id, const char* label) {
        AddField({.id = id,
                  .label = label,
                  .role = Role::Result,
                  .counter_rule = CounterRule::Manual,
                  .read_only = true});
    };
    result("udkey", "卡片密钥：");
    result("sk", "会话密钥：");
    result("ac", "应用密文：");
    result("arpc_out", "ARPC：");
    AddField({.id = "trace",
              .label = "计算过程：",
              .role = Role::Result,
              .kind = FieldKind::MultiLine,
              .wrap_lines = false,
              .read_only = true});

    m_cipher = AddOptionOf<EmvCipher>(
        {.id = "alg", .caption = "算法", .choices = {{"3des", "3DES"}, {"sm4", "SM4"}}});
    m_udk = AddOptionOf<EmvUdkMethod>(
        {.id = "udk",
         .caption = "卡片密钥",
         .choices = {{"a", "方法A"}, {"b", "方法B"}, {"none", "主密钥即卡片密钥"}}});
    m_session = AddOptionOf<EmvSessionMethod>({.id = "session",
                                               .caption = "会话密钥",
                                               .choices = {{"pboc", "PBOC"},
                                                           {"csk", "EMV 通用会话密钥"},
                                                           {"mc", "Mastercard SKD"},
                                                           {"none", "不用会话密钥"}}});
    m_padding = AddOptionOf<Padding>(
        {.id = "pad", .caption = "填充", .choices = {{"m2", "80 00.."}, {"m1", "00.."}}});
    m_arpc = AddOptionOf<EmvArpcMethod>(
        {.id = "arpc", .caption = "ARPC 方法", .choices = {{"m1", "方法1"}, {"m2", "方法2"}}});
    m_arpcKey =
        AddOptionOf<EmvArpcKey>({.id = "arpckey",
                                 .caption = "ARPC 密钥",
                                 .choices = {{"session", "会话密钥"}, {"card", "卡片密钥"}}});
    AddOption(SpacingOption("结果是否空格"));
    m_version = AddOptionOf<Version>({.id = "cvn",
                                      .caption = "密文版本",
                                      .choices = {{"visa10", "Visa CVN 10"},
                                                  {"visa18", "Visa CVN 18"},
                                                  {"mc16", "Mastercard CVN 16"},
                                                  {"pboc", "PBOC"}}});
    SetOption(m_version, Version::Pboc);

    AddButton("compute", "计算", [this] { return OnCompute(); });
    AddButton("verify", "55域验证", [this] { return OnVerify(); });
    AddButton("clear", "清空", [this] { return OnClear(); });

    AddSection(
        {.caption = "EMV 卡片密钥、会话密钥与密文",
         .fields = {"mk", "pan", "psn", "atc", "un", "data", "arqc", "arc", "csu", "propdata"},
         .options = {"alg", "udk", "session", "pad", "arpc", "arpckey", "spaced"},
         .buttons = {"compute", "clear"},
         .notes = {"说明：由发卡行主密钥算卡片密钥、会话密钥、ARQC 与 ARPC（3DES 或 SM4），",
                   "      列出每一步的中间值；填入卡片密文则验证 ARQC。"}});
    AddSection(
        {.caption = "55域验证", .fields = {"f55"}, .options = {"cvn"}, .buttons = {"verify"}});
    AddSection({.caption = "计算结果", .fields = {"udkey", "sk", "ac", "arpc_out", "trace"}});

    SetText("mk", kDefaultMk);
    SetText("pan", kDefaultPan);
    SetText("psn", kDefaultPsn);
    SetText("atc", kDefaultAtc);
    SetText("data", kDefaultData);
    SetText("arc", kDefaultArc);
}

CEmvPage::Inputs CEmvPage::ReadInputs() const {
    Inputs in;
    in.mk = RemoveBlanks(Text("mk"));
    in.pan = RemoveBlanks(Text("pan"));
    in.psn = RemoveBlanks(Text("psn"));
    in.atc = RemoveBlanks(Text("atc"));
    in.un = RemoveBlanks(Text("un"));
    in.data = RemoveBlanks(Text("data"));
    in.arqc = RemoveBlanks(Text("arqc"));
    in.arc = RemoveBlanks(Text("arc"));
    in.csu = RemoveBlanks(Text("csu"));
    in.propdata = RemoveBlanks(Text("propdata"));
    in.cipher = Chosen(m_cipher);
    in.udk = Chosen(m_udk);
    in.session = Chosen(m_session);
    in.padding = Chosen(m_padding);
    in.arpc = Chosen(m_arpc);
    in.arpc_key = Chosen(m_arpcKey);
    return in;
}

ActionResult CEmvPage::OnCompute() {
    const Inputs in = ReadInputs();
    if (auto refusal = CheckInputs(in)) {
        return refusal;
    }
    return Compute(in, {});
}

ActionResult CEmvPage::Compute(const Inputs& in, CTrace trace) {
    const std::optional<EmvCryptogramResults> results = EmvComputeCryptograms(EngineInputs(in));
    if (!results) {
        return InternalErrorBox(Name(), "the EMV engine refused checked inputs");
    }
    ShowResult("udkey", results->udk);
    const auto show_or_empty = [this](const char* id, const auto& value) {
        if (value) {
            ShowResult(id, *value);
        } else {
            SetText(id, "");
            SetCounter(id, "");
        }
    };
    show_or_empty("sk", results->session_key);
    show_or_empty("ac", results->ac);
    show_or_empty("arpc_out", results->arpc);
    trace.Append(results->trace);
    SetText("trace", FormatTrace(trace));
    if (!results->arqc_matches) {
        return std::nullopt;
    }
    const bool equal = *results->arqc_matches;
    return MessageBox{equal ? kVerified : kNotVerified, "提示", MessageIcon::None,
                      equal ? MessageKind::Success : MessageKind::Failure};
}

ActionResult CEmvPage::OnVerify() {
    const Version chosen = Chosen(m_version);
    const auto version =
        std::find_if(kVersions.begin(), kVersions.end(),
                     [&](const CryptogramVersion& v) { return v.version == chosen; });
    Inputs in = ReadInputs();
    CTrace trace;
    if (auto refusal =
            ReadField55(Text("f55"), version == kVersions.end() ? nullptr : &*version, in, trace)) {
        return refusal;
    }
    if (auto refusal = CheckInputs(in)) {
        return refusal;
    }
    SetText("pan", PanDigits(in.pan));
    SetText("psn", in.psn);
    SetText("atc", in.atc);
    SetText("un", in.un);
    SetText("arqc", in.arqc);
    SetText("data", in.data);
    SetOption(m_cipher, in.cipher);
    SetOption(m_udk, in.udk);
    SetOption(m_session, in.session);
    SetOption(m_padding, in.padding);
    SetOption(m_arpc, in.arpc);
    SetOption(m_arpcKey, in.arpc_key);
    return Compute(in, std::move(trace));
}

ActionResult CEmvPage::OnClear() {
    for (const char* id : kInputIds) {
        SetText(id, "");
        SetCounter(id, "");
    }
    for (const char* id : kResultIds) {
        SetText(id, "");
        SetCounter(id, "");
    }
    return std::nullopt;
}
