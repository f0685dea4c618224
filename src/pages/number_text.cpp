#include "pages/number_text.h"

#include <algorithm>

#include "common/hex_codec.h"

bool IsDecimalText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

bool IsHexNumberText(std::string_view text) {
    return CheckHexText(text) == 0;
}

MessageBox NoticeBox(std::string text) {
    return MessageBox{std::move(text), "", MessageIcon::None, MessageKind::Refusal};
}
