#include "common/operation_log.h"

#include <algorithm>
#include <ctime>

namespace {

// Indented gives a field's text on the record's lines: line breaks (CR LF or LF) continue on a
// new line indented under the first.
std::string Indented(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
        if (text[i] == '\n' && i + 1 < text.size()) {
            out += "      ";
        }
    }
    if (!out.empty() && out.back() == '\n') {
        out.pop_back();
    }
    return out;
}

void AppendField(std::string& record, const char* arrow, const Field& field) {
    record += arrow;
    record += field.id + ": " + Indented(field.text) + "\n";
}

}  // namespace

std::string LogRecord(const CPage& page, std::string_view action, const ActionResult& message,
                      std::string_view time) {
    const Button* button = page.FindButton(action);
    std::string record = "[" + std::string(time) + "] " + page.Name() + " " + std::string(action);
    if (button != nullptr) {
        record += " (" + button->caption + ")";
    }
    record += "\n";
    if (!page.Options().empty()) {
        record += "  options:";
        for (const OptionGroup& group : page.Options()) {
            const bool chosen =
                group.selected >= 0 && group.selected < static_cast<int>(group.choices.size());
            record += " " + group.id + "=" +
                      (chosen ? group.choices[static_cast<size_t>(group.selected)].name : "-");
        }
        record += "\n";
    }
    const std::vector<std::string> written = page.WrittenFields();
    const auto was_written = [&](const std::string& id) {
        return std::find(written.begin(), written.end(), id) != written.end();
    };
    for (const Field& field : page.Fields()) {
        if (!field.read_only && field.visible && field.enabled && !was_written(field.id)) {
            AppendField(record, "  ", field);
        }
    }
    if (message) {
        record += "  => " + (message->caption.empty() ? std::string() : message->caption + ": ") +
                  message->text + "\n";
    }
    for (const Field& field : page.Fields()) {
        if (was_written(field.id)) {
            AppendField(record, "  => ", field);
        }
    }
    return record;
}

std::string LocalTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}
