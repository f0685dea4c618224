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

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
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
