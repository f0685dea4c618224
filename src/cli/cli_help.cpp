#include "cli/cli_help.h"

#include "cli/json_writer.h"

namespace {

std::string Choices(const OptionGroup& group) {
    std::string text;
    for (size_t i = 0; i < group.choices.size(); ++i) {
        text += (i == 0 ? "" : " | ") + group.choices[i].name;
    }
    return text;
}

std::string Names(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

std::string Pad(const std::string& text, size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

}  // namespace

std::string Usage() {
    return "usage: keywright-cli --list | --version | --man | --completion bash\n"
           "       keywright-cli PAGE --help\n"
           "       keywright-cli PAGE ACTION [--OPTION CHOICE | --FIELD TEXT | --FIELD-file "
           "PATH | --FIELD-bytes PATH]... [--json] [--log]\n";
}

std::string PageList(const std::vector<std::unique_ptr<CPage>>& pages) {
    std::string text;
    for (const auto& page : pages) {
        if (page->Buttons().empty()) {
            continue;
        }
        std::vector<std::string> actions, options, fields;
        for (const Button& button : page->Buttons()) {
            actions.push_back(button.id + " (" + button.caption + ")");
        }
        for (const OptionGroup& group : page->Options()) {
            options.push_back(group.id + ": " + Choices(group));
        }
        for (const Field& field : page->Fields()) {
            fields.push_back(field.id);
        }
        text += page->Name() + "\t" + page->TabCaption() + "\n";
        text += "  actions: " + Names(actions) + "\n";
        text += "  options: " + (options.empty() ? "none" : Names(options)) + "\n";
        text += "  fields:  " + Names(fields) + "\n";
    }
    return text;
}

std::string PageHelp(const CPage& page) {
    std::string text =
        "keywright-cli " + page.Name() + " ACTION [--OPTION CHOICE | --FIELD TEXT |" +
        " --FIELD-file PATH | --FIELD-bytes PATH]... [--json] [--log]\n" + page.TabCaption() + "\n";
    // What the page does: the explanatory lines under its controls.
    for (const Section& section : page.Sections()) {
        for (const std::string& note : section.notes) {
            text += note + "\n";
        }
    }
    text += "\nActions:\n";
    for (const Button& button : page.Buttons()) {
        text += "  " + Pad(button.id, 14) + button.caption +
                (button.enabled ? "" : "  (disabled at start)") + "\n";
    }
    text += "\nOptions (a choice's name or its 0-based index):\n";
    for (const OptionGroup& group : page.Options()) {
        text += "  --" + Pad(group.id, 12) + group.caption + "\n";
        for (size_t i = 0; i < group.choices.size(); ++i) {
            const Choice& choice = group.choices[i];
            text += "      " + std::to_string(i) + " " + Pad(choice.name, 10) + choice.caption +
                    (static_cast<int>(i) == group.selected ? "  (default)" : "") + "\n";
        }
    }
    text +=
        "\nFields (--FIELD TEXT; --FIELD-file PATH types a file's text less one trailing line "
        "break, --FIELD-bytes PATH the hex of its bytes; - is standard input):\n";
    for (const Field& field : page.Fields()) {
        std::string state;
        if (field.read_only) {
            state += " read-only";
        }
        if (!field.enabled) {
            state += " disabled";
        }
        if (!field.visible) {
            state += " hidden";
        }
        text += "  --" + Pad(field.id, 12) + field.label;
        text += " (label " + field.id + "_label";
        text += field.HasCounter() ? ", counter " + field.id + "_count)" : ")";
        text += state + "\n";
        if (!field.text.empty()) {
            text += "      default " + JsonString(field.text) + "\n";
        }
    }
    return text;
}
