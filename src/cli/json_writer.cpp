#include "cli/json_writer.h"

#include <cstdio>

namespace {

std::string JsonBool(bool value) {
    return value ? "true" : "false";
}

std::string IconName(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Error:
            return "error";
        case MessageIcon::Question:
            return "question";
        case MessageIcon::None:
            break;
    }
    return "none";
}

std::string MessageJson(const ActionResult& message) {
    if (!message) {
        return "null";
    }
    return "{\"text\": " + JsonString(message->text) +
           ", \"caption\": " + JsonString(message->caption) +
           ", \"icon\": " + JsonString(IconName(message->icon)) + "}";
}

std::string FieldJson(const Field& field) {
    return "{\"text\": " + JsonString(field.text) +
           ", \"label\": " + (field.HasLabel() ? JsonString(field.label) : "null") +
           ", \"counter\": " + (field.HasCounter() ? JsonString(field.counter) : "null") +
           ", \"enabled\": " + JsonBool(field.enabled) +
           ", \"visible\": " + JsonBool(field.visible) +
           ", \"readonly\": " + JsonBool(field.read_only) + "}";
}

// Utf8SequenceLength gives the length of the well-formed UTF-8 sequence that starts at `i`
// (Unicode 15, table 3-7: no overlong forms, no surrogates, nothing above U+10FFFF), or 0.
size_t Utf8SequenceLength(std::string_view text, size_t i) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = at(i);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > text.size() || at(i + 1) < low || at(i + 1) > high) {
        return 0;
    }
    for (size_t k = 2; k < length; ++k) {
        if (at(i + k) < 0x80 || at(i + k) > 0xBF) {
            return 0;
        }
    }
    return length;
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    out.reserve(text.size() + 2);
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80) {
            // Bytes that are not UTF-8 (GBK text, binary data) become U+FFFD, one per byte, so
            // the document stays valid JSON.
            const size_t length = Utf8SequenceLength(text, i);
            if (length == 0) {
                out += "\xEF\xBF\xBD";
            } else {
                out.append(text.substr(i, length));
                i += length - 1;
            }
            continue;
        }
        switch (ch) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out.push_back(ch);
                }
        }
    }
    return out + "\"";
}

std::string PageJson(const CPage& page, std::string_view action, const ActionResult& message) {
    std::string json = "{\"page\": " + JsonString(page.Name()) +
                       ", \"action\": " + JsonString(action) +
                       ", \"message\": " + MessageJson(message) + ", \"fields\": {";
    const char* separator = "";
    for (const Field& field : page.Fields()) {
        json += separator + JsonString(field.id) + ": " + FieldJson(field);
        separator = ", ";
    }
    json += "}, \"options\": {";
    separator = "";
    for (const OptionGroup& group : page.Options()) {
        json += separator + JsonString(group.id) + ": " + std::to_string(group.selected);
        separator = ", ";
    }
    json += "}, \"buttons\": {";
    separator = "";
    for (const Button& button : page.Buttons()) {
        json += separator + JsonString(button.id) +
                ": {\"caption\": " + JsonString(button.caption) +
                ", \"enabled\": " + JsonBool(button.enabled) + "}";
        separator = ", ";
    }
    return json + "}}";
}
