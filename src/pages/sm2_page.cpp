#include "pages/sm2_page.h"

#include <vector>

#include "common/hex_codec.h"
#include "crypto/pk/sm2_der.h"

namespace {

constexpr const char* kOperationButtons[] = {"sign",    "verify", "exchange", "encrypt",
                                             "decrypt", "genkey", "import",   "export"};

// The worked-example inputs of GB/T 32918 parts 2-4; the encryption public key and the example
// ciphertext (C1 C2 C3) are those of the example keys on the recommended curve.
constexpr std::string_view kSignMessage = "6D65737361676520646967657374";
constexpr std::string_view kEncryptMessage = "656E6372797074696F6E207374616E64617264";
constexpr std::string_view kIdA = "414C494345313233405941484F4F2E434F4D";
constexpr std::string_view kIdB = "42494C4C343536405941484F4F2E434F4D";
constexpr std::string_view kSignKey =
    "128B2FA8BD433C6C068C8D803DFF79792A519A55171B1B650C23661D15897263";
constexpr std::string_view kExchangeKeyA =
    "6FCBA2EF9AE0AB902BC3BDE3FF915D44BA4CC78F88E2F8E7F8996D3B8CCEEDEE";
constexpr std::string_view kExchangeKeyB =
    "5E35D7D3F3C54DBAC72E61819E730B019A84208CA3A35E4C2E353DFCCB2A3B53";
constexpr std::string_view kEncryptPx =
    "191BFF8148006EEA72D857CB974DB9F4903B3CA3655D8D597AD4663F5044DCB1";
constexpr std::string_view kEncryptPy =
    "E2F7888AF1FCD8C653A8059CD2F379855389F71A7709E2C1EE1E914C855EF119";
constexpr std::string_view kDecryptKey =
    "1649AB77A00637BD5E2EFE283FBF353534AA7F7CB89463F208DDBC2920BB0DA0";
constexpr std::string_view kExampleC1 =
    "0411C88AE04CEC1BA554D03D5B5970333A83585826C2A985DE5520D9E934389EFB84B52D344FB21AA8EA38"
    "A4940C8332692B8D4DA2393549212EAFDC0F11CA5C9C";
constexpr std::string_view kExampleC2 = "D76B28B93A4B3765997A3BBC58F998731D0AA2";
constexpr std::string_view kExampleC3 =
    "0137E757931553826A245A0BAEF73E2A693A861C6E93509CDA65C2B97C0AB2ED";
static_assert(kExampleC1.size() == 130 && kExampleC2.size() == 38 && kExampleC3.size() == 64);

constexpr const char* kPrivateKeyLabel = "签名私钥：";
constexpr const char* kFixedKLabel = "签名私钥（示例固定k：两个签名即可算出此私钥）：";

// IsExampleKey tells whether the private key text is one of the worked examples' keys.
bool IsExampleKey(const std::string& key) {
    if (key.empty() || CheckHexText(key) != 0) {
        return false;
    }
    const Sm2Bytes32 value = Sm2FixedBytesFromHex(key);
    for (std::string_view example : {kSignKey, kExchangeKeyA, kExchangeKeyB, kDecryptKey}) {
        if (value == Sm2FixedBytesFromHex(example)) {
            return true;
        }
    }
    return false;
}

// The example ciphertext in the given order.
std::string ExampleCiphertext(Sm2CipherOrder order) {
    const bool c1c3c2 = order == Sm2CipherOrder::C1C3C2;
    return std::string(kExampleC1) + std::string(c1c3c2 ? kExampleC3 : kExampleC2) +
           std::string(c1c3c2 ? kExampleC2 : kExampleC3);
}

// The fields of one party's key exchange, in form order.
constexpr const char* kPartyFields[] = {"peer_id", "peer_px", "peer_py", "peer_rx",
                                        "peer_ry", "rand",    "own_rx",  "own_ry",
                                        "klen",    "key",     "s_send",  "s_expect"};
constexpr std::string_view kDefaultKeyBytes = "16";

std::string ExampleCiphertext(CSm2Page::CipherFormat format) {
    if (format == CSm2Page::CipherFormat::Der) {
        return BytesToHex(
            Sm2CiphertextToDer(HexToBytes(ExampleCiphertext(Sm2CipherOrder::C1C2C3))));
    }
    return ExampleCiphertext(format == CSm2Page::CipherFormat::C1C3C2 ? Sm2CipherOrder::C1C3C2
                                                                      : Sm2CipherOrder::C1C2C3);
}

// Messages of the refusals that guard the engine against input the standard does not allow.
constexpr const char* kDecryptFailed =
    "Sm2 Decrypt failed, the private key or the ciphertext is wrong, Pls Check !!!";
constexpr const char* kNotDerCiphertext =
    "Sm2 Decrypt Data is not a GM/T 0009 DER ciphertext, Pls Check !!!";
constexpr const char* kRandomFailed = "Sm2 random number generator failed, Pls Check !!!";
constexpr const char* kDecryptTooShort =
    "Sm2 Decrypt Data should be at least 97 bytes, Pls Check !!!";

MessageBox AskBox(std::string text) {
    return MessageBox{std::move(text), "提示", MessageIcon::Question, MessageKind::Refusal};
}

MessageBox OutcomeBox(bool success, std::string text) {
    return MessageBox{std::move(text), "提示", MessageIcon::None,
                      success ? MessageKind::Success : MessageKind::Failure};
}

// A hex field to test, with the suffix of its illegal-byte message.
struct HexTest {
    const std::string& text;
    const char* suffix;
};

ActionResult TestHex(std::initializer_list<HexTest> tests) {
    for (const HexTest& test : tests) {
        if (const int position = CheckHexText(test.text); position != 0) {
            return IllegalByteBox(position, test.suffix);
        }
    }
    return std::nullopt;
}

// The private key must be a scalar of [1, n-2]; `what` names the field in the message.
ActionResult TestPrivateKey(const std::string& key, const char* what) {
    if (!Sm2PrivateKeyIsValid(key)) {
        return ErrorBox(std::string(what) + " should be in [1, n-2], Pls Check !!!");
    }
    return std::nullopt;
}

ActionResult TestPublicKey(const Sm2Point& key, const char* what) {
    if (!Sm2PublicKeyIsValid(key)) {
        return ErrorBox(std::string(what) +
                        " Px and Py are not a point of the Sm2 curve, "
                        "Pls Check !!!");
    }
    return std::nullopt;
}

// ENTL, the identity's length in bits, has 16 bits.
ActionResult TestIdLength(const std::vector<uint8_t>& id, const char* what) {
    if (id.size() > kSm2MaxIdBytes) {
        return ErrorBox(std::string(what) + " should be at most " + std::to_string(kSm2MaxIdBytes) +
                        " bytes, Pls Check !!!");
    }
    return std::nullopt;
}

}  // namespace

CSm2Page::CSm2Page() : CPage("sm2", "SM2 运算") {
    m_op = AddOptionOf<Operation>({.id = "op",
                                   .caption = "国密算法类型",
                                   .choices = {{"sign", "签名"},
                                               {"verify", "验证", Role::Plain},
                                               {"exchange", "密钥交换"},
                                               {"encrypt", "加密"},
                                               {"decrypt", "解密", Role::Plain},
                                               {"genkey", "生成密钥", Role::Plain},
                                               {"import", "导入密钥", Role::Plain},
                                               {"export", "导出密钥", Role::Plain}},
                                   .selected = kSign,
                                   .columns = 5});
    AddOption(SpacingOption("结果是否空格"));
    m_genpub =
        AddOptionOf<YesNo>({.id = "genpub",
                            .caption = "是否生成公钥",
                            .choices = {{"yes", "是", Role::Plain}, {"no", "否", Role::Plain}},
                            .selected = 1,
                            .caption_role = Role::Plain});
    m_format = AddOptionOf<CipherFormat>(
        {.id = "format",
         .caption = "密文格式",
         .choices = {{"c1c2c3", "C1C2C3"}, {"c1c3c2", "C1C3C2"}, {"der", "DER"}},
         .selected = 0});
    m_sigformat = AddOptionOf<SignatureFormat>({.id = "sigformat",
                                                .caption = "签名格式",
                                                .choices = {{"raw", "R S"}, {"der", "DER"}},
                                                .selected = 0});
    m_role = AddOptionOf<ExchangeRole>(
        {.id = "role",
         .caption = "角色",
         .choices = {{"both", "双方"}, {"initiator", "发起方A"}, {"responder", "响应方B"}},
         .selected = 0});
    m_k = AddOptionOf<RandomK>({.id = "k",
                                .caption = "随机数 k",
                                .choices = {{"example", "示例"}, {"random", "随机"}},
                                .selected = 0});

    const auto add = [this](const char* id, const char* label, Role role, Role label_role,
                            CounterRule rule) {
        AddField({.id = id,
                  .label = label,
                  .role = role,
                  .counter_rule = rule,
                  .label_role = label_role,
                  .read_only = role == Role::Result});
    };
    add("message", "签名报文：", Role::Input, Role::Label, CounterRule::Bytes);
    add("userid", "用户  ID：", Role::Input, Role::Label, CounterRule::Bytes);
    add("privkey", "签名私钥：", Role::Key, Role::Label, CounterRule::Bytes);
    add("px", "公钥  Px：", Role::Key, Role::Plain, CounterRule::Bytes);
    add("py", "公钥  Py：", Role::Key, Role::Plain, CounterRule::Bytes);
    add("r", "结果   R：", Role::Result, Role::Label, CounterRule::Manual);
    add("s", "结果   S：", Role::Result, Role::Label, CounterRule::Manual);
    add("sig", "签名 DER：", Role::Result, Role::Label, CounterRule::Manual);
    AddField({.id = "pem",
              .label = "密钥 PEM：",
              .role = Role::Input,
              .kind = FieldKind::MultiLine,
              .fixed_font = true});
    add("peer_id", "对方  ID：", Role::Input, Role::Label, CounterRule::Bytes);
    add("peer_px", "对方公钥 Px：", Role::Key, Role::Label, CounterRule::Bytes);
    add("peer_py", "对方公钥 Py：", Role::Key, Role::Label, CounterRule::Bytes);
    add("peer_rx", "对方 R  x：", Role::Input, Role::Label, CounterRule::Bytes);
    add("peer_ry", "对方 R  y：", Role::Input, Role::Label, CounterRule::Bytes);
    add("rand", "本方随机数 r：", Role::Key, Role::Label, CounterRule::Bytes);
    add("own_rx", "本方 R  x：", Role::Result, Role::Label, CounterRule::Manual);
    add("own_ry", "本方 R  y：", Role::Result, Role::Label, CounterRule::Manual);
    AddField({.id = "klen",
              .label = "密钥长度(字节)：",
              .role = Role::Input,
              .width_chars = 6,
              .centred = true});
    add("key", "共享密钥 K：", Role::Result, Role::Label, CounterRule::Manual);
    add("s_send", "SA：", Role::Result, Role::Label, CounterRule::Manual);
    add("s_expect", "S1：", Role::Result, Role::Label, CounterRule::Manual);

    AddButton("sign", "签名", [this] { return OnSign(); });
    AddButton("verify", "验证", [this] { return OnVerify(); });
    AddButton("exchange", "密钥交换", [this] { return OnExchange(); });
    AddButton("encrypt", "加密", [this] { return OnEncrypt(); });
    AddButton("decrypt", "解密", [this] { return OnDecrypt(); });
    AddButton("genkey", "生成密钥", [this] { return OnGenKey(); });
    AddButton("import", "导入", [this] { return OnImport(); });
    AddButton("export", "导出", [this] { return OnExport(); });
    AddButton("clear", "清空", [this] { return OnClear(); });
    for (int operation = kSign; operation <= kExport; ++operation) {
        MutableButton(kOperationButtons[operation]).first_choice = {"op", operation};
    }
    AddSection(
        {.caption = "SM2 国密算法",
         .fields = {"message", "userid", "privkey", "px", "py", "r", "s"},
         .options = {"op", "spaced", "genpub", "format", "sigformat", "k", "role"},
         .buttons = {"sign", "verify", "exchange", "encrypt", "decrypt", "genkey", "import",
                     "export", "clear"},
         .notes = {"随机数 k 选“示例”时用 GB/T 32918 示例的固定随机数，结果可重现；"
                   "同一 k 的两个签名即可算出私钥，真实密钥请选“随机”（每次运算取新的随机数）。",
                   "用户 ID 默认为 GB/T 32918 示例的 ID；GM/T 0009 的默认 ID 是 "
                   "1234567812345678（31323334353637383132333435363738），OpenSSL "
                   "和多数库用它。",
                   "角色选发起方或响应方时只算本方：对方 R 为空时只生成本方 r 和 R；"
                   "本方随机数 r 为空时取新的随机数并写回。导出：有私钥时写 PKCS#8 私钥，"
                   "否则写 Px、Py 的公钥。"},
         .enter = {"sign", "verify", "exchange", "encrypt", "decrypt", "import", "export"}});
    // The DER signature, the key file and one party of the key exchange in a frame of their own
    // under the buttons: the rows they show and hide never move the buttons.
    AddSection({.caption = "DER 签名、密钥文件与单方密钥交换",
                .fields = {"sig", "pem", "peer_id", "peer_px", "peer_py", "peer_rx", "peer_ry",
                           "rand", "own_rx", "own_ry", "klen", "key", "s_send", "s_expect"},
                .enter = {"sign", "verify", "exchange", "import", "export"}});

    SetText("message", std::string(kSignMessage));
    SetText("userid", std::string(kIdA));
    SetText("privkey", std::string(kSignKey));
    SetText("klen", std::string(kDefaultKeyBytes));
    ShowRows(false, true, true, true);
    SetVisible("pem", false);
    ShowSignatureRows();
    ShowExchangeRows();
    for (int operation = kSign; operation <= kExport; ++operation) {
        SetButtonEnabled(kOperationButtons[operation], operation == kSign);
    }
}

void CSm2Page::OnFieldChanged(const std::string& field_id) {
    CPage::OnFieldChanged(field_id);
    if (field_id == "privkey" && IsChosen(m_genpub, YesNo::Yes)) {
        GeneratePublicKey(true);
    }
    if (field_id == "privkey") {
        ShowPrivateKeyLabel();
    }
}

void CSm2Page::OnOptionChosen(const std::string& group_id) {
    if (m_op.Is(group_id)) {
        ChooseOperation(Chosen(m_op));
        ShowPrivateKeyLabel();
    } else if (m_k.Is(group_id)) {
        ShowPrivateKeyLabel();
    } else if (m_genpub.Is(group_id)) {
        GeneratePublicKey(IsChosen(m_genpub, YesNo::Yes));
    } else if (m_sigformat.Is(group_id)) {
        ShowSignatureRows();
    } else if (m_role.Is(group_id)) {
        if (IsChosen(m_op, kExchange)) {
            FillExchangeExample(Chosen(m_role));
            ShowExchangeRows();
            ShowPrivateKeyLabel();
        }
    } else if (m_format.Is(group_id) && IsChosen(m_op, kDecrypt)) {
        // The example ciphertext follows the format, so that the example always decrypts; a
        // ciphertext of the user's own is never reformatted.
        const std::string message = RemoveBlanks(Text("message"));
        for (const CipherFormat other :
             {CipherFormat::C1C2C3, CipherFormat::C1C3C2, CipherFormat::Der}) {
            if (message == ExampleCiphertext(other)) {
                SetText("message", ExampleCiphertext(Chosen(m_format)));
                break;
            }
        }
    }
}

void CSm2Page::Empty(std::string_view field_id) {
    SetText(field_id, "");
    SetCounter(field_id, "");
}

void CSm2Page::ShowRows(bool public_key, bool private_key, bool user_id, bool s) {
    SetVisible("px", public_key);
    SetVisible("py", public_key);
    SetVisible("privkey", private_key);
    SetVisible("userid", user_id);
    SetVisible("s", s);
}

void CSm2Page::ChooseOperation(Operation operation) {
    switch (operation) {
        case kSign:
            SetLabel("message", "签名报文：");
            SetLabel("userid", "用户  ID：");
            SetLabel("r", "结果   R：");
            SetLabel("s", "结果   S：");
            SetText("message", std::string(kSignMessage));
            SetText("userid", std::string(kIdA));
            Empty("r");
            Empty("s");
            Empty("sig");
            ShowRows(false, true, true, true);
            SetReadOnly("r", true);
            SetReadOnly("s", true);
            break;
        case kVerify:
            SetLabel("message", "验证报文：");
            SetLabel("userid", "用户  ID：");
            SetLabel("r", "签名   R：");
            SetLabel("s", "签名   S：");
            SetText("message", std::string(kSignMessage));
            SetText("userid", std::string(kIdA));
            Empty("px");
            Empty("py");
            ShowRows(true, false, true, true);
            SetReadOnly("r", false);
            SetReadOnly("s", false);
            break;
        case kExchange:
            SetLabel("message", "用户A ID：");
            SetLabel("userid", "用户B ID：");
            SetLabel("r", "密钥   A：");
            SetLabel("s", "密钥   B：");
            SetText("message", std::string(kIdA));
            SetText("userid", std::string(kIdB));
            SetText("r", std::string(kExchangeKeyA));
            SetText("s", std::string(kExchangeKeyB));
            FillExchangeExample(Chosen(m_role));
            ShowRows(false, false, true, true);
            SetReadOnly("r", false);
            SetReadOnly("s", false);
            break;
        case kEncrypt:
            SetLabel("message", "加密报文：");
            SetLabel("r", "加密结果：");
            SetText("message", std::string(kEncryptMessage));
            SetText("px", std::string(kEncryptPx));
            SetText("py", std::string(kEncryptPy));
            Empty("r");
            ShowRows(true, false, false, false);
            SetReadOnly("r", true);
            break;
        case kDecrypt: {
            SetLabel("message", "解密报文：");
            SetLabel("r", "解密结果：");
            SetText("message", ExampleCiphertext(Chosen(m_format)));
            SetText("privkey", std::string(kDecryptKey));
            Empty("r");
            ShowRows(false, true, false, false);
            SetReadOnly("r", true);
            break;
        }
        case kGenKey:
        case kImport:
        case kExport:
            ShowRows(true, true, false, false);
            break;
        default:
            return;
    }
    const bool keys = operation == kGenKey || operation == kImport || operation == kExport;
    SetVisible("message", !keys);
    SetVisible("r", !keys);
    SetVisible("pem", operation == kImport || operation == kExport);
    SetReadOnly("pem", operation == kExport);
    ShowSignatureRows();
    ShowExchangeRows();
    for (int other = kSign; other <= kExport; ++other) {
        SetButtonEnabled(kOperationButtons[other], other == operation);
    }
}

void CSm2Page::GeneratePublicKey(bool generate) {
    Sm2Point key;
    // A private key the curve does not accept has no public key: Px and Py stay empty, and the
    // actions that need them ask for them.
    if (!generate || !Sm2GeneratePublicKey(RemoveBlanks(Text("privkey")), key)) {
        Empty("px");
        Empty("py");
        return;
    }
    SetText("px", BytesToHex(key.x));
    SetText("py", BytesToHex(key.y));
}

Sm2CipherOrder CSm2Page::CipherOrder() const {
    return IsChosen(m_format, CipherFormat::C1C3C2) ? Sm2CipherOrder::C1C3C2
                                                    : Sm2CipherOrder::C1C2C3;
}

void CSm2Page::ShowSignatureRows() {
    const bool signing = IsChosen(m_op, kSign) || IsChosen(m_op, kVerify);
    const bool der = IsChosen(m_sigformat, SignatureFormat::Der);
    SetVisible("sig", signing && der);
    SetReadOnly("sig", !IsChosen(m_op, kVerify));
    if (signing) {
        SetVisible("r", !der);
        SetVisible("s", !der);
    }
}

void CSm2Page::ShowExchangeRows() {
    const bool exchange = IsChosen(m_op, kExchange);
    const bool one_party = exchange && !IsChosen(m_role, ExchangeRole::Both);
    for (const char* id : kPartyFields) {
        SetVisible(id, one_party);
    }
    if (!exchange) {
        return;
    }
    // Both parties: IDs in the message and user ID fields, private keys in R and S.
    SetVisible("message", !one_party);
    SetVisible("r", !one_party);
    SetVisible("s", !one_party);
    SetVisible("privkey", one_party);
    SetLabel("userid", one_party ? "本方  ID：" : "用户B ID：");
    const bool initiator = IsChosen(m_role, ExchangeRole::Initiator);
    SetLabel("s_send", initiator ? "SA（发给B）：" : "SB（发给A）：");
    SetLabel("s_expect", initiator ? "S1（应等于SB）：" : "S2（应等于SA）：");
}

void CSm2Page::FillExchangeExample(ExchangeRole role) {
    if (role == ExchangeRole::Both) {
        return;
    }
    const bool initiator = role == ExchangeRole::Initiator;
    Sm2Point peer;
    if (!Sm2GeneratePublicKey(initiator ? kExchangeKeyB : kExchangeKeyA, peer)) {
        return;
    }
    SetText("privkey", std::string(initiator ? kExchangeKeyA : kExchangeKeyB));
    SetText("userid", std::string(initiator ? kIdA : kIdB));
    SetText("peer_id", std::string(initiator ? kIdB : kIdA));
    SetText("peer_px", BytesToHex(peer.x));
    SetText("peer_py", BytesToHex(peer.y));
    for (const char* id :
         {"peer_rx", "peer_ry", "rand", "own_rx", "own_ry", "key", "s_send", "s_expect"}) {
        Empty(id);
    }
    SetText("klen", std::string(kDefaultKeyBytes));
}

std::string_view CSm2Page::RandomOr(std::string_view example) const {
    return IsChosen(m_k, RandomK::Random) ? kSm2FreshRandom : example;
}

void CSm2Page::ShowPrivateKeyLabel() {
    const bool warn = IsChosen(m_op, kSign) && IsChosen(m_k, RandomK::Example) &&
                      !RemoveBlanks(Text("privkey")).empty() &&
                      !IsExampleKey(RemoveBlanks(Text("privkey")));
    const bool one_party = IsChosen(m_op, kExchange) && !IsChosen(m_role, ExchangeRole::Both);
    SetLabel("privkey", one_party ? "本方私钥：" : warn ? kFixedKLabel : kPrivateKeyLabel);
}

ActionResult CSm2Page::OnSign() {
    const std::string message = RemoveBlanks(Text("message"));
    const std::string key = RemoveBlanks(Text("privkey"));
    const std::string id = RemoveBlanks(Text("userid"));
    if (auto refusal = TestHex({{message, " byte of the sm2 message is the illegal, Pls Check !!!"},
                                {key, " byte of the sm2 private Key is the illegal, Pls Check !!!"},
                                {id, " byte of the sm2 user id is the illegal, Pls Check !!!"}})) {
        return refusal;
    }
    if (key.empty()) {
        return AskBox("请首先输入签名私钥数据后，再进行签名操作!!!!!");
    }
    const std::vector<uint8_t> id_bytes = HexToBytes(id);
    if (auto refusal = TestPrivateKey(key, "Sm2 private Key")) {
        return refusal;
    }
    if (auto refusal = TestIdLength(id_bytes, "Sm2 user id")) {
        return refusal;
    }
    Sm2Signature signature;
    if (!Sm2Sign(HexToBytes(message), key, id_bytes, signature, RandomOr(kSm2SignRandom))) {
        // Only r = 0, r + k = n or s = 0 for this key and message, which the fixed k cannot avoid.
        return ErrorBox("Sm2 Sign failed for this private key and message, Pls Check !!!");
    }
    if (IsChosen(m_sigformat, SignatureFormat::Der)) {
        ShowResult("sig", Sm2SignatureToDer(signature));
    } else {
        ShowResult("r", signature.r);
        ShowResult("s", signature.s);
    }
    return std::nullopt;
}

ActionResult CSm2Page::OnVerify() {
    const std::string message = RemoveBlanks(Text("message"));
    const std::string px = RemoveBlanks(Text("px"));
    const std::string py = RemoveBlanks(Text("py"));
    const std::string id = RemoveBlanks(Text("userid"));
    if (auto refusal =
            TestHex({{message, " byte of the sm2 message is the illegal, Pls Check !!!"},
                     {px, " byte of the sm2 public Key Px is the illegal, Pls Check !!!"},
                     {py, " byte of the sm2 public Key Py is the illegal, Pls Check !!!"},
                     {id, " byte of the sm2 user id is the illegal, Pls Check !!!"}})) {
        return refusal;
    }
    if (px.empty() || py.empty()) {
        return AskBox("请首先输入或生成签名公钥Px和Py数据后，再进行签名验证操作!!!!!");
    }
    const Sm2Point key{Sm2FixedBytesFromHex(px), Sm2FixedBytesFromHex(py)};
    const std::vector<uint8_t> id_bytes = HexToBytes(id);
    if (auto refusal = TestPublicKey(key, "Sm2 public Key")) {
        return refusal;
    }
    if (auto refusal = TestIdLength(id_bytes, "Sm2 user id")) {
        return refusal;
    }
    Sm2Signature signature{Sm2FixedBytesFromHex(RemoveBlanks(Text("r"))),
                           Sm2FixedBytesFromHex(RemoveBlanks(Text("s")))};
    if (IsChosen(m_sigformat, SignatureFormat::Der)) {
        const std::string der = RemoveBlanks(Text("sig"));
        if (auto refusal =
                TestHex({{der, " byte of the sm2 DER signature is the illegal, Pls Check !!!"}})) {
            return refusal;
        }
        if (der.empty()) {
            return AskBox("请首先输入DER签名数据后，再进行签名验证操作!!!!!");
        }
        if (der.size() % 2 != 0 || !Sm2SignatureFromDer(HexToBytes(der), signature)) {
            return ErrorBox(
                "Sm2 DER signature should be a SEQUENCE of two INTEGERs, Pls Check !!!");
        }
    }
    const bool valid = Sm2Verify(HexToBytes(message), key, id_bytes, signature);
    return OutcomeBox(valid, valid ? "签名验证正确" : "签名验证错误");
}

ActionResult CSm2Page::OnExchange() {
    if (!IsChosen(m_role, ExchangeRole::Both)) {
        return OnExchangeAsParty();
    }
    const std::string id_a = RemoveBlanks(Text("message"));
    const std::string id_b = RemoveBlanks(Text("userid"));
    const std::string key_a = RemoveBlanks(Text("r"));
    const std::string key_b = RemoveBlanks(Text("s"));
    if (auto refusal =
            TestHex({{id_a, " byte of the sm2 user id1 is the illegal, Pls Check !!!"},
                     {id_b, " byte of the sm2 user id2 is the illegal, Pls Check !!!"},
                     {key_a, " byte of the sm2 exchange Key A is the illegal, Pls Check !!!"},
                     {key_b, " byte of the sm2 exchange Key B is the illegal, Pls Check !!!"}})) {
        return refusal;
    }
    if (key_a.empty() || key_b.empty()) {
        return AskBox("请首先输入交换密钥A和交换密钥B数据后，再进行密钥交换操作!!!!!");
    }
    const std::vector<uint8_t> id_a_bytes = HexToBytes(id_a), id_b_bytes = HexToBytes(id_b);
    for (const ActionResult& refusal :
         {TestPrivateKey(key_a, "Sm2 exchange Key A"), TestPrivateKey(key_b, "Sm2 exchange Key B"),
          TestIdLength(id_a_bytes, "Sm2 user id1"), TestIdLength(id_b_bytes, "Sm2 user id2")}) {
        if (refusal) {
            return refusal;
        }
    }
    const bool agreed =
        Sm2KeyExchange(key_a, key_b, id_a_bytes, id_b_bytes, nullptr, RandomOr(kSm2ExchangeRandomA),
                       RandomOr(kSm2ExchangeRandomB));
    return OutcomeBox(agreed, agreed ? "密钥交换成功" : "密钥交换失败");
}

ActionResult CSm2Page::OnEncrypt() {
    const std::string message = RemoveBlanks(Text("message"));
    const std::string px = RemoveBlanks(Text("px"));
    const std::string py = RemoveBlanks(Text("py"));
    if (auto refusal = TestHex(
            {{message, " byte of the sm2 encrypt message is the illegal, Pls Check !!!"},
             {px, " byte of the sm2 encrypt public key Px is the illegal, Pls Check !!!"},
             {py, " byte of the sm2 encrypt public key Py is the illegal, Pls Check !!!"}})) {
        return refusal;
    }
    if (px.empty() || py.empty()) {
        return AskBox("请首先输入或生成加密密钥Px和Py数据后，再进行加密操作!!!!!");
    }
    const Sm2Point key{Sm2FixedBytesFromHex(px), Sm2FixedBytesFromHex(py)};
    if (auto refusal = TestPublicKey(key, "Sm2 encrypt public key")) {
        return refusal;
    }
    std::vector<uint8_t> ciphertext;
    if (!Sm2Encrypt(key, HexToBytes(message), CipherOrder(), ciphertext,
                    RandomOr(kSm2EncryptRandom))) {
        // The key stream of this key and length came out all zeros (GB/T 32918.4 6.1 A5).
        return ErrorBox("Sm2 Encrypt failed for this public key and message, Pls Check !!!");
    }
    if (IsChosen(m_format, CipherFormat::Der)) {
        ciphertext = Sm2CiphertextToDer(ciphertext);
    }
    ShowResult("r", ciphertext);
    return std::nullopt;
}

ActionResult CSm2Page::OnDecrypt() {
    const std::string ciphertext = RemoveBlanks(Text("message"));
    const std::string key = RemoveBlanks(Text("privkey"));
    if (auto refusal = TestHex(
            {{ciphertext, " byte of the sm2 decrypt message is the illegal, Pls Check !!!"},
             {key, " byte of the sm2 decrypt private key is the illegal, Pls Check !!!"}})) {
        return refusal;
    }
    if (key.empty()) {
        return AskBox("请首先输入解密私钥数据后，再进行解密操作!!!!!");
    }
    // Whole bytes only: an odd last digit is no part of the ciphertext's length.
    std::vector<uint8_t> bytes = HexToBytes(ciphertext);
    bytes.resize(ciphertext.size() / 2);
    if (IsChosen(m_format, CipherFormat::Der)) {
        std::vector<uint8_t> parts;
        if (!Sm2CiphertextFromDer(bytes, parts)) {
            return ErrorBox(kNotDerCiphertext);
        }
        bytes = std::move(parts);
    }
    if (bytes.size() < kSm2CipherOverhead) {
        return ErrorBox(kDecryptTooShort);
    }
    if (auto refusal = TestPrivateKey(key, "Sm2 decrypt private key")) {
        return refusal;
    }
    std::vector<uint8_t> plaintext;
    if (!Sm2Decrypt(key, bytes, CipherOrder(), plaintext)) {
        return ErrorBox(kDecryptFailed);
    }
    ShowResult("r", plaintext);
    return std::nullopt;
}

ActionResult CSm2Page::OnGenKey() {
    Sm2Bytes32 private_key;
    Sm2Point public_key;
    if (!Sm2GenerateKey(private_key, public_key)) {
        return ErrorBox(kRandomFailed);
    }
    SetText("privkey", BytesToHex(private_key));
    SetText("px", BytesToHex(public_key.x));
    SetText("py", BytesToHex(public_key.y));
    return std::nullopt;
}

ActionResult CSm2Page::OnExchangeAsParty() {
    const std::string key = RemoveBlanks(Text("privkey"));
    const std::string id = RemoveBlanks(Text("userid"));
    const std::string peer_id = RemoveBlanks(Text("peer_id"));
    const std::string peer_px = RemoveBlanks(Text("peer_px"));
    const std::string peer_py = RemoveBlanks(Text("peer_py"));
    const std::string peer_rx = RemoveBlanks(Text("peer_rx"));
    const std::string peer_ry = RemoveBlanks(Text("peer_ry"));
    const std::string random = RemoveBlanks(Text("rand"));
    if (auto refusal =
            TestHex({{key, " byte of the sm2 own private key is the illegal, Pls Check !!!"},
                     {id, " byte of the sm2 user id is the illegal, Pls Check !!!"},
                     {peer_id, " byte of the sm2 peer user id is the illegal, Pls Check !!!"},
                     {peer_px, " byte of the sm2 peer public key Px is the illegal, Pls Check !!!"},
                     {peer_py, " byte of the sm2 peer public key Py is the illegal, Pls Check !!!"},
                     {peer_rx, " byte of the sm2 peer R x is the illegal, Pls Check !!!"},
                     {peer_ry, " byte of the sm2 peer R y is the illegal, Pls Check !!!"},
                     {random, " byte of the sm2 own random r is the illegal, Pls Check !!!"}})) {
        return refusal;
    }
    Sm2Bytes32 r;
    Sm2Point own_r;
    if (!Sm2ExchangeEphemeral(random.substr(0, 64), r, own_r)) {
        return ErrorBox(random.empty() ? kRandomFailed
                                       : "Sm2 own random r should be in [1, n-1], Pls Check !!!");
    }
    const std::string r_hex = BytesToHex(r);
    if (peer_rx.empty() && peer_ry.empty()) {
        // GB/T 32918.3 6.1 A1-A3 (B1-B2): without the peer's R, only r and R to send.
        SetText("rand", r_hex);
        ShowResult("own_rx", own_r.x);
        ShowResult("own_ry", own_r.y);
        for (const char* result : {"key", "s_send", "s_expect"}) {
            Empty(result);
        }
        return std::nullopt;
    }
    if (key.empty()) {
        return AskBox("请首先输入本方私钥数据后，再进行密钥交换操作!!!!!");
    }
    if (peer_px.empty() || peer_py.empty() || peer_rx.empty() || peer_ry.empty()) {
        return AskBox("请首先输入对方公钥Px、Py和对方R数据后，再进行密钥交换操作!!!!!");
    }
    const std::vector<uint8_t> id_bytes = HexToBytes(id), peer_id_bytes = HexToBytes(peer_id);
    const Sm2Point peer_key{Sm2FixedBytesFromHex(peer_px), Sm2FixedBytesFromHex(peer_py)};
    const Sm2Point peer_r{Sm2FixedBytesFromHex(peer_rx), Sm2FixedBytesFromHex(peer_ry)};
    for (const ActionResult& refusal :
         {TestPrivateKey(key, "Sm2 own private key"), TestIdLength(id_bytes, "Sm2 user id"),
          TestIdLength(peer_id_bytes, "Sm2 peer user id"),
          TestPublicKey(peer_key, "Sm2 peer public key")}) {
        if (refusal) {
            return refusal;
        }
    }
    if (!Sm2PublicKeyIsValid(peer_r)) {
        return ErrorBox("Sm2 peer R x and y are not a point of the Sm2 curve, Pls Check !!!");
    }
    const std::string klen = RemoveBlanks(Text("klen"));
    const bool digits = !klen.empty() && klen.size() <= 5 &&
                        klen.find_first_not_of("0123456789") == std::string::npos;
    const size_t key_bytes = digits ? std::stoul(klen) : 0;
    if (key_bytes == 0 || key_bytes > kSm2MaxExchangeKeyBytes) {
        return ErrorBox("Sm2 exchange klen should be in [1, " +
                        std::to_string(kSm2MaxExchangeKeyBytes) + "] bytes, Pls Check !!!");
    }
    Sm2ExchangeOutcome outcome;
    const Sm2ExchangeRole role = IsChosen(m_role, ExchangeRole::Initiator)
                                     ? Sm2ExchangeRole::Initiator
                                     : Sm2ExchangeRole::Responder;
    if (!Sm2ExchangeAsParty(role, key, id_bytes, r_hex, peer_key, peer_r, peer_id_bytes, key_bytes,
                            outcome)) {
        return ErrorBox("Sm2 key exchange failed for these keys, Pls Check !!!");
    }
    SetText("rand", r_hex);
    ShowResult("own_rx", outcome.big_r.x);
    ShowResult("own_ry", outcome.big_r.y);
    ShowResult("key", outcome.key);
    ShowResult("s_send", outcome.s_send);
    ShowResult("s_expect", outcome.s_expect);
    return std::nullopt;
}

ActionResult CSm2Page::OnImport() {
    const std::string& text = Text("pem");
    if (RemoveBlanks(text).empty()) {
        return AskBox("请首先输入PEM或DER密钥数据后，再进行导入操作!!!!!");
    }
    std::string private_key;
    Sm2Point public_key;
    if (!Sm2ImportKey(text, private_key, public_key)) {
        return ErrorBox(
            "Sm2 key should be a PEM or DER key of the Sm2 curve (PKCS#8, SEC1 or "
            "SubjectPublicKeyInfo), Pls Check !!!");
    }
    // The private key first: with "是否生成公钥" its change empties or fills Px and Py.
    SetText("privkey", private_key);
    SetText("px", BytesToHex(public_key.x));
    SetText("py", BytesToHex(public_key.y));
    return std::nullopt;
}

ActionResult CSm2Page::OnExport() {
    const std::string key = RemoveBlanks(Text("privkey"));
    const std::string px = RemoveBlanks(Text("px"));
    const std::string py = RemoveBlanks(Text("py"));
    if (auto refusal =
            TestHex({{key, " byte of the sm2 private Key is the illegal, Pls Check !!!"},
                     {px, " byte of the sm2 public Key Px is the illegal, Pls Check !!!"},
                     {py, " byte of the sm2 public Key Py is the illegal, Pls Check !!!"}})) {
        return refusal;
    }
    std::string pem;
    if (!key.empty()) {
        if (auto refusal = TestPrivateKey(key, "Sm2 private Key")) {
            return refusal;
        }
        if (!Sm2ExportPrivateKey(key, pem)) {
            return ErrorBox("Sm2 key export failed, Pls Check !!!");
        }
    } else {
        if (px.empty() || py.empty()) {
            return AskBox("请首先输入私钥或公钥Px和Py数据后，再进行导出操作!!!!!");
        }
        const Sm2Point point{Sm2FixedBytesFromHex(px), Sm2FixedBytesFromHex(py)};
        if (auto refusal = TestPublicKey(point, "Sm2 public Key")) {
            return refusal;
        }
        if (!Sm2ExportPublicKey(point, pem)) {
            return ErrorBox("Sm2 key export failed, Pls Check !!!");
        }
    }
    // A text field holds its line breaks as CR LF.
    std::string text;
    for (const char c : pem) {
        if (c == '\n') {
            text += '\r';
        }
        text += c;
    }
    SetText("pem", std::move(text));
    return std::nullopt;
}

ActionResult CSm2Page::OnClear() {
    for (const char* id : {"message", "userid", "privkey", "px", "py", "r", "s", "sig", "pem"}) {
        Empty(id);
    }
    for (const char* id : kPartyFields) {
        if (std::string_view(id) != "klen") {
            Empty(id);
        }
    }
    return std::nullopt;
}
