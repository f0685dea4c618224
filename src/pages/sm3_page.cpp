#include "pages/sm3_page.h"

#include <string>

#include "common/hex_codec.h"
#include "crypto/hash/sm3.h"

namespace {

constexpr const char* kDataSuffix = " byte of the sm3 Data is the illegal, Pls Check !!!";

// CheckSm3Data refuses data with a character that is not hex; a line break typed into the
// multi-line field is such a character.
ActionResult CheckSm3Data(const std::string& data) {
    if (const int position = CheckHexText(data); position > 0) {
        return IllegalByteBox(position, kDataSuffix);
    }
    return std::nullopt;
}

}  // namespace

CSm3Page::CSm3Page() : CPage("sm3", "SM3 运算") {
    AddField({.id = "hmac_data",
              .label = "处理数据：",
              .role = Role::Input,
              .counter_rule = CounterRule::Bytes});
    AddField({.id = "hmac_key",
              .label = "密钥(K) ：",
              .role = Role::Key,
              .counter_rule = CounterRule::Bytes});
    AddField({.id = "hmac_result",
              .label = "HAMC结果：",
              .role = Role::Result,
              .counter_rule = CounterRule::Manual,
              .read_only = true});
    AddField({.id = "data",
              .label = "处理数据：",
              .role = Role::Input,
              .kind = FieldKind::MultiLine,
              .counter_rule = CounterRule::Bytes});
    AddField({.id = "digest",
              .label = "计算结果：",
              .role = Role::Result,
              .counter_rule = CounterRule::Manual,
              .read_only = true});
    AddOption(SpacingOption("结果是否空格"));
    AddButton("hmac", "计算", [this] { return OnHmac(); });
    AddButton("clear-hmac", "清空", [this] { return OnClearHmac(); });
    AddButton("hash", "计算", [this] { return OnHash(); });
    AddButton("clear-hash", "清空", [this] { return OnClearHash(); });
    AddSection({.caption = "SM3 HAMC算法",
                .caption_role = Role::Plain,
                .fields = {"hmac_data", "hmac_key", "hmac_result"},
                .options = {"spaced"},
                .buttons = {"hmac", "clear-hmac"}});
    AddSection({.caption = "SM3 基本算法",
                .caption_role = Role::Plain,
                .fields = {"data", "digest"},
                .buttons = {"hash", "clear-hash"}});
    SetText("data", "616263");  // "abc", the first example of GB/T 32905
}

ActionResult CSm3Page::OnHmac() {
    const std::string key = RemoveBlanks(Text("hmac_key"));
    const std::string data = RemoveBlanks(Text("hmac_data"));
    if (key.empty() || data.empty()) {
        return ErrorBox("sm3 Key or Encrypt Data can not be null, Pls input !!!");
    }
    if (const int position = CheckHexText(key); position > 0) {
        return IllegalByteBox(position, " byte of the sm3 Key is the illegal , Pls Check !!!");
    }
    if (auto refusal = CheckSm3Data(data)) {
        return refusal;
    }
    ShowResult("hmac_result", Sm3Hmac(HexToBytes(key), HexToBytes(data)));
    return std::nullopt;
}

ActionResult CSm3Page::OnClearHmac() {
    for (const char* id : {"hmac_data", "hmac_key", "hmac_result"}) {
        SetText(id, "");
    }
    return std::nullopt;
}

ActionResult CSm3Page::OnHash() {
    const std::string data = RemoveBlanks(Text("data"));
    if (auto refusal = CheckSm3Data(data)) {
        return refusal;
    }
    ShowResult("digest", Sm3Hash(HexToBytes(data)));
    return std::nullopt;
}

ActionResult CSm3Page::OnClearHash() {
    for (const char* id : {"data", "digest"}) {
        SetText(id, "");
    }
    return std::nullopt;
}
