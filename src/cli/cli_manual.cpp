#include "cli/cli_manual.h"

namespace {

// Roff gives the text with the characters man(7) treats specially escaped.
std::string Roff(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\\') {
            out += "\\e";
        } else if (ch == '-') {
            out += "\\-";
        } else if ((ch == '.' || ch == '\'') && (i == 0 || text[i - 1] == '\n')) {
            out += "\\&";
            out += ch;
        } else {
            out += ch;
        }
    }
    return out;
}

bool HasActions(const CPage& page) {
    return !page.Buttons().empty();
}

void AppendPage(std::string& man, const CPage& page) {
    man += ".SS " + Roff(page.Name()) + " \\(em " + Roff(page.TabCaption()) + "\n";
    man += ".TP\n.B Actions\n";
    for (const Button& button : page.Buttons()) {
        man += Roff(button.id) + " (" + Roff(button.caption) + ")\n.br\n";
    }
    if (!page.Options().empty()) {
        man += ".TP\n.B Options\n";
        for (const OptionGroup& group : page.Options()) {
            man += "\\-\\-" + Roff(group.id) + " (" + Roff(group.caption) + "):";
            for (size_t i = 0; i < group.choices.size(); ++i) {
                man += " " + Roff(group.choices[i].name) +
                       (static_cast<int>(i) == group.selected ? " (default)" : "");
            }
            man += "\n.br\n";
        }
    }
    man += ".TP\n.B Fields\n";
    for (const Field& field : page.Fields()) {
        man += "\\-\\-" + Roff(field.id);
        if (!field.label.empty()) {
            man += " (" + Roff(field.label) + ")";
        }
        man += field.read_only ? ", read\\-only\n.br\n" : "\n.br\n";
    }
}

std::string Words(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        text += (text.empty() ? "" : " ") + word;
    }
    return text;
}

}  // namespace

std::string ManPage(const std::vector<std::unique_ptr<CPage>>& pages, const std::string& version) {
    std::string man;
    man += ".TH KEYWRIGHT\\-CLI 1 \"\" \"Keywright " + Roff(version) + "\" \"User Commands\"\n";
    man += ".SH NAME\nkeywright\\-cli \\- the Keywright smart\\-card workbench without a window\n";
    man +=
        ".SH SYNOPSIS\n.B keywright\\-cli \\-\\-list\n.br\n.B keywright\\-cli\n.I PAGE\n"
        ".B \\-\\-help\n.br\n.B keywright\\-cli\n.I PAGE ACTION\n[\\fIGESTURE\\fR]... "
        "[\\fB\\-\\-json\\fR] [\\fB\\-\\-log\\fR]\n";
    man +=
        ".SH DESCRIPTION\nEvery page of the Keywright window (DES, MACs, AES, SM2, SM3, SM4, RSA, "
        "digests, byte operations, conversions, TLV) works from the command line through the same "
        "page models: a result or a message is the same, character for character, in both.\n"
        ".PP\nThe page starts from its defaults; the gestures are applied in the order given, "
        "each as the user's own gesture in the window; then the action's button is pressed.\n";
    man +=
        ".SH GESTURES\n.TP\n\\fB\\-\\-\\fIOPTION CHOICE\\fR\nclicks a radio button or ticks a "
        "check box: the choice's name or its 0\\-based index.\n"
        ".TP\n\\fB\\-\\-\\fIFIELD TEXT\\fR\ntypes TEXT into the field.\n"
        ".TP\n\\fB\\-\\-\\fIFIELD\\fB\\-file\\fR \\fIPATH\\fR\ntypes the content of a file; "
        "one trailing line break (LF or CR LF) is dropped, as a shell's command substitution "
        "does; \\- reads standard input.\n"
        ".TP\n\\fB\\-\\-\\fIFIELD\\fB\\-bytes\\fR \\fIPATH\\fR\ntypes the hex of a file's bytes; "
        "\\- reads standard input.\n"
        ".TP\n\\fB\\-\\-json\\fR\nprints the whole form after the action as one JSON object.\n"
        ".TP\n\\fB\\-\\-log\\fR\nwrites the operation-log record of the action to standard "
        "error.\n";
    man += ".SH PAGES\n";
    for (const auto& page : pages) {
        if (HasActions(*page)) {
            AppendPage(man, *page);
        }
    }
    man +=
        ".SH EXIT STATUS\n.TP\n0\nsuccess, or a positive outcome (a signature that verifies)\n"
        ".TP\n1\na message refused the action (on standard error), or a negative outcome\n"
        ".TP\n2\na usage error: wrong page, action, option, choice or field, or a refused "
        "gesture\n";
    man +=
        ".SH EXAMPLES\n.nf\n"
        "keywright\\-cli des encrypt \\-\\-key 0123456789ABCDEF \\-\\-data \"11 22 33\"\n"
        "keywright\\-cli mac compute \\-\\-alg x919 \\-\\-keytype double \\-\\-data\\-file "
        "request.hex \\-\\-maclen 8\n"
        "keywright\\-cli tlv parse \\-\\-data\\-file \\- < card\\-dump.hex\n"
        "keywright\\-cli checksum compute \\-\\-type sha256 \\-\\-data\\-bytes firmware.bin\n"
        "keywright\\-cli des encrypt \\-\\-data 112 \\-\\-json\n.fi\n";
    man += ".SH SEE ALSO\n.BR keywright (1)\n";
    return man;
}

std::string BashCompletion(const std::vector<std::unique_ptr<CPage>>& pages) {
    std::vector<std::string> page_names;
    std::string actions_case, words_case, choices_case;
    for (const auto& page : pages) {
        if (!HasActions(*page)) {
            continue;
        }
        page_names.push_back(page->Name());
        std::vector<std::string> actions{"--help"}, words{"--json", "--log"};
        for (const Button& button : page->Buttons()) {
            actions.push_back(button.id);
        }
        for (const OptionGroup& group : page->Options()) {
            words.push_back("--" + group.id);
            std::vector<std::string> choices;
            for (const Choice& choice : group.choices) {
                choices.push_back(choice.name);
            }
            choices_case += "        " + page->Name() + ":--" + group.id + ") choices='" +
                            Words(choices) + "' ;;\n";
        }
        for (const Field& field : page->Fields()) {
            if (!field.read_only) {
                words.push_back("--" + field.id);
                words.push_back("--" + field.id + "-file");
                words.push_back("--" + field.id + "-bytes");
            }
        }
        actions_case += "        " + page->Name() + ") actions='" + Words(actions) + "' ;;\n";
        words_case += "        " + page->Name() + ") words='" + Words(words) + "' ;;\n";
    }
    return "# bash completion for keywright-cli, written from its page models\n"
           "_keywright_cli() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
           "    local page=${COMP_WORDS[1]} actions='' words='' choices=''\n"
           "    if [[ $COMP_CWORD -eq 1 ]]; then\n"
           "        COMPREPLY=($(compgen -W '--list --help --version " +
           Words(page_names) +
           "' -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    if [[ $COMP_CWORD -eq 2 ]]; then\n"
           "        case $page in\n" +
           actions_case +
           "        esac\n"
           "        COMPREPLY=($(compgen -W \"$actions\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    case $prev in\n"
           "        *-file|*-bytes) COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n"
           "    esac\n"
           "    case $page:$prev in\n" +
           choices_case +
           "    esac\n"
           "    if [[ -n $choices ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$choices\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    if [[ $prev == --* && $prev != --json && $prev != --log ]]; then\n"
           "        return\n"
           "    fi\n"
           "    case $page in\n" +
           words_case +
           "    esac\n"
           "    COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
           "}\n"
           "complete -F _keywright_cli keywright-cli\n";
}
