#include "pages/emv_page.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "common/hex_codec.h"
#include "common/key_data_checks.h"
#include "payment/emv_crypto.h"
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
    const bool needs_pan = in.udk != "none";
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
    if (in.alg == "sm4") {
        if (in.udk == "b") {
            return ErrorBox(
                "SM4 has no form of UDK Option B, Pls choose 方法A or 主密钥即卡片密钥 !!!");
        }
        if (in.session == "csk" || in.session == "mc") {
            return ErrorBox(std::string("SM4 has no form of the ") +
                            (in.session == "csk" ? "EMV common" : "Mastercard") +
                            " session key, Pls choose pboc or none !!!");
        }
        if (in.pad == "m1") {
            return ErrorBox("SM4 MAC pads by method 2 only (80 00..), Pls choose m2 !!!");
        }
        if (in.arpc == "m2") {
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

// The trace: one "name: value" line per intermediate value, in the order computed.
class Trace {
public:
    explicit Trace(std::vector<std::string> lines) : m_lines(std::move(lines)) {}
    void Note(std::string text) { m_lines.push_back(std::move(text)); }
    void Value(const std::string& name, std::span<const uint8_t> bytes) {
        m_lines.push_back(name + ": " + BytesToHex(bytes));
    }
    void Values(const std::string& name, const std::vector<std::vector<uint8_t>>& values) {
        for (size_t i = 0; i < values.size(); ++i) {
            Value(name + " " + std::to_string(i + 1), values[i]);
        }
    }
    std::string Text() const {
        std::string text;
        for (const std::string& line : m_lines) {
            text += (text.empty() ? "" : "\r\n") + line;
        }
        return text;
    }

private:
    std::vector<std::string> m_lines;
};

// Raw, parity-adjusted (3DES) and KCV of a derived key, with the warning for equal halves.
void TraceKey(Trace& trace, const std::string& name, EmvCipher cipher,
              const EmvKeyDerivation& key) {
    if (cipher == EmvCipher::Tdes) {
        trace.Value(name + " (raw)", key.raw);
        trace.Value(name + " (odd parity)", key.key);
    } else {
        trace.Value(name, key.key);
    }
    trace.Value(name + " KCV", key.kcv);
    if (key.single_des) {
        trace.Note("Warning: the halves of the " + name + " are equal: it is single DES");
    }
}

// The padded data, the CBC chain and the final transform; `result` names the MAC's value.
void TraceMac(Trace& trace, EmvCipher cipher, const std::string& key_name,
              const std::string& result, const EmvMacComputation& mac) {
    trace.Value(cipher == EmvCipher::Sm4 ? "Padded (method 2, 16-byte blocks)" : "Padded",
                mac.padded);
    trace.Values("CBC", mac.chain);
    if (cipher == EmvCipher::Tdes) {
        trace.Value("DES^-1(" + key_name + " right)[CBC " + std::to_string(mac.chain.size()) + "]",
                    mac.decrypted);
        trace.Value(result + " = DES(" + key_name + " left)[...]", mac.mac);
    } else {
        trace.Value(result + " = left 8 bytes of CBC " + std::to_string(mac.chain.size()), mac.mac);
    }
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
    const char* cvn;  // the choice name in "cvn"
    const char* title;
    const char* alg;  // nullptr: the algorithm stays as chosen
    const char* udk;
    const char* session;
    const char* pad;
    const char* arpc;
    const char* arpckey;
    size_t iad_offset;  // from 0
    size_t iad_length;  // 0: the whole IAD
    const char* iad_part;
};
constexpr std::array<CryptogramVersion, 4> kVersions = {{
    {"visa10", "Visa CVN 10", "3des", "a", "none", "m1", "m1", "card", 3, 4, "CVR, IAD bytes 4-7"},
    {"visa18", "Visa CVN 18", "3des", "b", "csk", "m2", "m2", "session", 0, 0, "the whole IAD"},
    {"mc16", "Mastercard CVN 16", "3des", "a", "mc", "m2", "m1", "card", 2, 6,
     "CVR, IAD bytes 3-8"},
    {"pboc", "PBOC", nullptr, "a", "pboc", "m2", "m1", "session", 3, 4, "CVR, IAD bytes 4-7"},
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

    AddOption({.id = "alg", .caption = "算法", .choices = {{"3des", "3DES"}, {"sm4", "SM4"}}});
    AddOption({.id = "udk",
               .caption = "卡片密钥",
               .choices = {{"a", "方法A"}, {"b", "方法B"}, {"none", "主密钥即卡片密钥"}}});
    AddOption({.id = "session",
               .caption = "会话密钥",
               .choices = {{"pboc", "PBOC"},
                           {"csk", "EMV 通用会话密钥"},
                           {"mc", "Mastercard SKD"},
                           {"none", "不用会话密钥"}}});
    AddOption({.id = "pad", .caption = "填充", .choices = {{"m2", "80 00.."}, {"m1", "00.."}}});
    AddOption(
        {.id = "arpc", .caption = "ARPC 方法", .choices = {{"m1", "方法1"}, {"m2", "方法2"}}});
    AddOption({.id = "arpckey",
               .caption = "ARPC 密钥",
               .choices = {{"session", "会话密钥"}, {"card", "卡片密钥"}}});
    AddOption(SpacingOption("结果是否空格"));
    AddOption({.id = "cvn",
               .caption = "密文版本",
               .choices = {{"visa10", "Visa CVN 10"},
                           {"visa18", "Visa CVN 18"},
                           {"mc16", "Mastercard CVN 16"},
                           {"pboc", "PBOC"}},
               .selected = 3});

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

std::string CEmvPage::ChoiceName(const char* group_id) const {
    const OptionGroup* group = FindOption(group_id);
    const int selected = group->selected;
    return selected < 0 ? std::string() : group->choices[static_cast<size_t>(selected)].name;
}

void CEmvPage::ChooseByName(const char* group_id, const std::string& name) {
    const OptionGroup* group = FindOption(group_id);
    for (size_t i = 0; i < group->choices.size(); ++i) {
        if (group->choices[i].name == name) {
            SetOption(group_id, static_cast<int>(i));
        }
    }
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
    in.alg = ChoiceName("alg");
    in.udk = ChoiceName("udk");
    in.session = ChoiceName("session");
    in.pad = ChoiceName("pad");
    in.arpc = ChoiceName("arpc");
    in.arpckey = ChoiceName("arpckey");
    return in;
}

ActionResult CEmvPage::OnCompute() {
    const Inputs in = ReadInputs();
    if (auto refusal = CheckInputs(in)) {
        return refusal;
    }
    return Compute(in, {});
}

ActionResult CEmvPage::Compute(const Inputs& in, std::vector<std::string> lines) {
    Trace trace(std::move(lines));
    const EmvCipher cipher = in.alg == "sm4" ? EmvCipher::Sm4 : EmvCipher::Tdes;
    const char* cipher_name = cipher == EmvCipher::Sm4 ? "SM4" : "3DES";
    const std::array<uint8_t, 16> mk = FixedBytes<16>(in.mk);

    // Card key.
    EmvKeyDerivation udk;
    if (cipher == EmvCipher::Tdes && EmvIsSingleDes(mk)) {
        trace.Note("Warning: the halves of the IMK are equal: it is single DES");
    }
    if (in.udk == "none") {
        trace.Note("UDK: the master key itself");
        udk.raw = mk;
        udk.key = mk;
        if (cipher == EmvCipher::Tdes) {
            EmvAdjustParity(udk.key);
        }
    } else {
        const uint8_t psn = in.psn.empty() ? 0 : HexToBytes(in.psn)[0];
        if (in.psn.empty()) {
            trace.Note("PSN: absent, 00");
        }
        const bool option_b = in.udk == "b";
        EmvUdkDerivation derived;
        if (!EmvDeriveUdk(cipher, option_b ? EmvUdkMethod::OptionB : EmvUdkMethod::OptionA, mk,
                          PanDigits(in.pan), psn, derived)) {
            return InternalErrorBox(Name(), "the card key derivation refused checked inputs");
        }
        if (derived.method == EmvUdkMethod::OptionB) {
            trace.Note("UDK: EMV Option B");
            trace.Note("X = PAN || PSN: " + derived.x_digits);
            trace.Value("SHA-1(X)", derived.sha1);
            trace.Value("Y = decimalised SHA-1(X)", derived.y);
        } else {
            trace.Note(option_b ? "UDK: PAN of 16 digits or fewer, Option B is Option A"
                       : cipher == EmvCipher::Sm4 ? "UDK: PBOC SM4 form"
                                                  : "UDK: EMV Option A");
            trace.Value("Y = rightmost 16 digits of PAN || PSN", derived.y);
        }
        trace.Value("~Y", derived.not_y);
        if (cipher == EmvCipher::Tdes) {
            trace.Value("UDK left = 3DES(IMK)[Y]", derived.key.outputs[0]);
            trace.Value("UDK right = 3DES(IMK)[~Y]", derived.key.outputs[1]);
        } else {
            trace.Value("UDK = SM4(IMK)[Y || ~Y]", derived.key.outputs[0]);
        }
        udk = derived.key;
    }
    udk.kcv = EmvKcv(cipher, udk.key);
    udk.single_des = cipher == EmvCipher::Tdes && EmvIsSingleDes(udk.key);
    TraceKey(trace, "UDK", cipher, udk);

    // Session key.
    EmvKeyDerivation sk;
    bool have_sk = false;
    if (in.session == "none") {
        trace.Note("Session key: none, the UDK itself");
        sk = udk;
        have_sk = true;
    } else if (in.atc.empty()) {
        trace.Note("Session key: not computed, no ATC");
    } else if (in.session == "mc" && in.un.empty()) {
        trace.Note("Session key: not computed, no UN");
    } else {
        const EmvSessionMethod method = in.session == "pboc"  ? EmvSessionMethod::Pboc
                                        : in.session == "csk" ? EmvSessionMethod::Common
                                                              : EmvSessionMethod::Mastercard;
        if (!EmvDeriveSessionKey(cipher, method, udk.key, FixedBytes<2>(in.atc),
                                 FixedBytes<4>(in.un), sk)) {
            return InternalErrorBox(Name(), "the session key derivation refused checked inputs");
        }
        trace.Note(std::string("Session key: ") +
                   (method == EmvSessionMethod::Pboc     ? "PBOC "
                    : method == EmvSessionMethod::Common ? "EMV common session key, "
                                                         : "Mastercard SKD, ") +
                   cipher_name);
        if (cipher == EmvCipher::Tdes) {
            trace.Value("SK left input", sk.inputs[0]);
            trace.Value("SK left = 3DES(UDK)[left input]", sk.outputs[0]);
            trace.Value("SK right input", sk.inputs[1]);
            trace.Value("SK right = 3DES(UDK)[right input]", sk.outputs[1]);
        } else {
            trace.Value("SK input", sk.inputs[0]);
            trace.Value("SK = SM4(UDK)[input]", sk.outputs[0]);
        }
        TraceKey(trace, "SK", cipher, sk);
        have_sk = true;
    }

    // Application cryptogram.
    EmvMacComputation ac;
    bool have_ac = false;
    if (!have_sk) {
        trace.Note("AC: not computed, no session key");
    } else if (in.data.empty()) {
        trace.Note("AC: not computed, no transaction data");
    } else {
        const EmvPadding padding = in.pad == "m1" ? EmvPadding::Method1 : EmvPadding::Method2;
        if (!EmvComputeMac(cipher, padding, sk.key, HexToBytes(in.data), ac)) {
            return InternalErrorBox(Name(), "the MAC refused checked inputs");
        }
        trace.Note(cipher == EmvCipher::Sm4 ? "AC: SM4 MAC"
                                            : std::string("AC: retail MAC, padding method ") +
                                                  (padding == EmvPadding::Method1 ? "1" : "2"));
        trace.Value("AC data", HexToBytes(in.data));
        TraceMac(trace, cipher, "SK", "AC", ac);
        have_ac = true;
    }
    ActionResult outcome;
    if (!in.arqc.empty()) {
        trace.Value("ARQC (card)", HexToBytes(in.arqc));
        if (have_ac) {
            const bool equal = BytesToHex(ac.mac) == BytesToHex(HexToBytes(in.arqc));
            trace.Note(std::string("ARQC check: ") + (equal ? "equal" : "different"));
            outcome = MessageBox{equal ? kVerified : kNotVerified, "提示", MessageIcon::None,
                                 equal ? MessageKind::Success : MessageKind::Failure};
        }
    }

    // ARPC, on the card's ARQC when it is given.
    EmvArpcComputation arpc;
    bool have_arpc = false;
    const bool card_key = in.arpckey == "card";
    const EmvKeyDerivation& arpc_key = card_key ? udk : sk;
    const bool method2 = in.arpc == "m2";
    if (!in.arqc.empty() || have_ac) {
        if (!card_key && !have_sk) {
            trace.Note("ARPC: not computed, no session key");
        } else if (!method2 && in.arc.empty()) {
            trace.Note("ARPC: not computed, no ARC");
        } else if (method2 && in.csu.empty()) {
            trace.Note("ARPC: not computed, no CSU");
        } else {
            const std::array<uint8_t, 8> arqc = in.arqc.empty() ? ac.mac : FixedBytes<8>(in.arqc);
            const std::string key_name = card_key ? "UDK" : "SK";
            trace.Note(std::string("ARPC: method ") + (method2 ? "2" : "1") + " with the " +
                       key_name + " on the " + (in.arqc.empty() ? "computed AC" : "card's ARQC"));
            if (method2) {
                const std::vector<uint8_t> prop = HexToBytes(in.propdata);
                if (!EmvArpcMethod2(arpc_key.key, arqc, FixedBytes<4>(in.csu), prop, arpc)) {
                    return InternalErrorBox(Name(), "ARPC method 2 refused checked inputs");
                }
                trace.Value("ARQC || CSU || proprietary data", arpc.input);
                TraceMac(trace, cipher, key_name, "MAC", arpc.mac);
                trace.Value("ARPC = left 4 bytes", arpc.arpc);
                std::vector<uint8_t> tag91 = arpc.arpc;
                tag91.insert(tag91.end(), arpc.input.begin() + 8, arpc.input.end());
                trace.Value("Tag 91 = ARPC || CSU || proprietary data", tag91);
            } else {
                const std::array<uint8_t, 2> arc = FixedBytes<2>(in.arc);
                EmvArpcMethod1(cipher, arpc_key.key, arqc, arc, arpc);
                if (cipher == EmvCipher::Tdes) {
                    trace.Value("ARQC ^ (ARC || 00..)", arpc.input);
                    trace.Value("ARPC = 3DES(" + key_name + ")[...]", arpc.arpc);
                } else {
                    trace.Value("(ARQC ^ (ARC || 00..)) || 00 x 8", arpc.input);
                    trace.Value("SM4(" + key_name + ")[...]", arpc.output);
                    trace.Value("ARPC = left 8 bytes", arpc.arpc);
                    trace.Note("Note: no published example confirms the SM4 ARPC yet");
                }
                std::vector<uint8_t> tag91 = arpc.arpc;
                tag91.insert(tag91.end(), arc.begin(), arc.end());
                trace.Value("Tag 91 = ARPC || ARC", tag91);
            }
            have_arpc = true;
        }
    }

    ShowResult("udkey", udk.key);
    const auto show_or_empty = [this](const char* id, bool have, std::span<const uint8_t> bytes) {
        if (have) {
            ShowResult(id, bytes);
        } else {
            SetText(id, "");
            SetCounter(id, "");
        }
    };
    show_or_empty("sk", have_sk, sk.key);
    show_or_empty("ac", have_ac, ac.mac);
    show_or_empty("arpc_out", have_arpc, arpc.arpc);
    SetText("trace", trace.Text());
    return outcome;
}

ActionResult CEmvPage::OnVerify() {
    const std::string f55 = RemoveLayout(Text("f55"));
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
    const std::string cvn = ChoiceName("cvn");
    const auto version = std::find_if(kVersions.begin(), kVersions.end(),
                                      [&](const CryptogramVersion& v) { return v.cvn == cvn; });
    if (version == kVersions.end()) {
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

    Inputs in = ReadInputs();
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
    if (version->alg != nullptr) {
        in.alg = version->alg;
    }
    in.udk = version->udk;
    in.session = version->session;
    in.pad = version->pad;
    in.arpc = version->arpc;
    in.arpckey = version->arpckey;
    if (auto refusal = CheckInputs(in)) {
        return refusal;
    }

    SetText("pan", PanDigits(in.pan));
    SetText("psn", in.psn);
    SetText("atc", in.atc);
    SetText("un", in.un);
    SetText("arqc", in.arqc);
    SetText("data", in.data);
    ChooseByName("alg", in.alg);
    ChooseByName("udk", in.udk);
    ChooseByName("session", in.session);
    ChooseByName("pad", in.pad);
    ChooseByName("arpc", in.arpc);
    ChooseByName("arpckey", in.arpckey);
    in.pan = PanDigits(in.pan);
    std::vector<std::string> lines = {
        std::string("Field 55: ") + version->title, "IAD (9F10): " + BytesToHex(iad),
        std::string("IAD part in the data (") + version->iad_part + "): " + BytesToHex(iad_part)};
    if (psn == nullptr) {
        lines.push_back("PSN (5F34): absent, 00");
    }
    return Compute(in, std::move(lines));
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
