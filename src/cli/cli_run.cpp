#include "cli/cli_run.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>

#include <unistd.h>

#include "cli/json_writer.h"
#include "common/file_text.h"
#include "common/hex_codec.h"
#include "common/operation_log.h"

namespace {

struct UsageError {
    std::string message;
};

bool EndsWith(const std::string& text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// ReadFileOrStdin gives the whole content of the file (standard input for "-"). A file that cannot
// be opened or read (a directory, an I/O error) is a usage error naming the file and the reason.
std::string ReadFileOrStdin(const std::string& path) {
    const bool is_stdin = path == "-";
    std::FILE* file = is_stdin ? stdin : std::fopen(path.c_str(), "rb");
    const std::string name = is_stdin ? "standard input" : "file '" + path + "'";
    if (file == nullptr) {
        throw UsageError{"cannot read " + name + ": " + std::strerror(errno)};
    }
    std::string content;
    errno = 0;
    char buffer[1 << 16];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        content.append(buffer, got);
    }
    const int error = std::ferror(file) ? (errno != 0 ? errno : EIO) : 0;
    if (!is_stdin) {
        std::fclose(file);
    }
    if (error != 0) {
        throw UsageError{"cannot read " + name + ": " + std::strerror(error)};
    }
    return content;
}

// WithoutTrailingLineBreak drops one LF or CR LF at the end of a file's text, as a shell's
// command substitution does: `echo 616263 > f` writes a line, and the line is what is meant.
std::string WithoutTrailingLineBreak(std::string text) {
    if (EndsWith(text, "\n")) {
        text.pop_back();
        if (EndsWith(text, "\r")) {
            text.pop_back();
        }
    }
    return text;
}

int ChoiceIndex(const OptionGroup& group, const std::string& choice) {
    for (size_t i = 0; i < group.choices.size(); ++i) {
        if (group.choices[i].name == choice) {
            return static_cast<int>(i);
        }
    }
    int index = -1;
    const auto [end, error] = std::from_chars(choice.data(), choice.data() + choice.size(), index);
    if (error == std::errc() && end == choice.data() + choice.size() && index >= 0 &&
        index < static_cast<int>(group.choices.size())) {
        return index;
    }
    std::string names;
    for (const Choice& c : group.choices) {
        names += (names.empty() ? "" : ", ") + c.name;
    }
    throw UsageError{"option --" + group.id + " has no choice '" + choice + "' (choices: " + names +
                     ")"};
}

void TypeInto(CPage& page, const Field& field, std::string text) {
    if (!field.visible || !field.enabled || field.read_only) {
        const char* state = !field.visible ? "hidden" : !field.enabled ? "disabled" : "read-only";
        throw UsageError{"field --" + field.id + " is " + state + " on page " + page.Name()};
    }
    page.Type(field.id, TypedText(field, std::move(text)));
}

// ApplyGesture applies the gesture at args[i] (and its value) and gives the index after it.
size_t ApplyGesture(CPage& page, const std::vector<std::string>& args, size_t i) {
    const std::string& arg = args[i];
    if (arg.rfind("--", 0) != 0 || arg.size() == 2) {
        throw UsageError{"unexpected argument '" + arg + "'"};
    }
    const std::string name = arg.substr(2);
    if (i + 1 >= args.size()) {
        throw UsageError{"'" + arg + "' needs a value"};
    }
    const std::string& value = args[i + 1];
    if (const OptionGroup* group = page.FindOption(name)) {
        page.Choose(group->id, ChoiceIndex(*group, value));
    } else if (const Field* field = page.FindField(name)) {
        TypeInto(page, *field, value);
    } else if (const Field* file_field = EndsWith(name, "-file")
                                             ? page.FindField(name.substr(0, name.size() - 5))
                                             : nullptr) {
        TypeInto(page, *file_field, WithoutTrailingLineBreak(ReadFileOrStdin(value)));
    } else if (const Field* bytes_field = EndsWith(name, "-bytes")
                                              ? page.FindField(name.substr(0, name.size() - 6))
                                              : nullptr) {
        // A binary file (a firmware image, a card dump) goes in as the hex of its bytes.
        const std::string content = ReadFileOrStdin(value);
        TypeInto(page, *bytes_field,
                 BytesToHex(
                     std::span(reinterpret_cast<const uint8_t*>(content.data()), content.size())));
    } else {
        throw UsageError{"page " + page.Name() + " has no option or field '" + arg + "'"};
    }
    return i + 2;
}

std::string WrittenFieldsText(const CPage& page) {
    const std::vector<std::string> written = page.WrittenFields();
    std::string out;
    for (const std::string& id : written) {
        if (written.size() > 1) {
            out += id + "=";
        }
        out += page.FindField(id)->text + "\n";
    }
    return out;
}

CliOutput Render(const CPage& page, const std::string& action, const ActionResult& message,
                 bool json) {
    CliOutput output;
    if (message) {
        output.status = message->kind == MessageKind::Success ? kExitOk : kExitRefused;
    }
    if (json) {
        output.out = PageJson(page, action, message) + "\n";
    } else if (message && message->kind == MessageKind::Refusal) {
        output.err = message->text + "\n";
    } else if (message) {
        output.out = message->text + "\n";
    } else {
        output.out = WrittenFieldsText(page);
    }
    return output;
}

// ShowTick writes the progress of a long action over the previous tick on standard error: a
// percentage where the amount is known, a spinner where it is not.
void ShowTick(const CPage& page, const std::string& action, const CProgress& progress, int tick) {
    const uint64_t total = progress.Total();
    if (total > 0) {
        std::fprintf(stderr, "\r%s %s: %3d%%", page.Name().c_str(), action.c_str(),
                     static_cast<int>(100.0 * static_cast<double>(progress.Done()) /
                                      static_cast<double>(total)));
    } else {
        std::fprintf(stderr, "\r%s %s: %c", page.Name().c_str(), action.c_str(), "|/-\\"[tick % 4]);
    }
}

// PressWithProgress runs a long action on a thread of its own and, while it runs, shows how far
// it has come on standard error when that is a terminal; other actions are simply pressed. The
// wait ends the moment the worker does, so a short long action returns as fast as any other.
ActionResult PressWithProgress(CPage& page, const std::string& action) {
    if (!page.FindButton(action)->long_running) {
        return page.Press(action);
    }
    CProgress progress;
    ActionResult result;
    std::exception_ptr failure;
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    std::thread worker([&] {
        try {
            result = page.Press(action, &progress);
        } catch (...) {
            failure = std::current_exception();
        }
        const std::lock_guard lock(mutex);
        finished = true;
        ended.notify_one();
    });
    const bool terminal = isatty(STDERR_FILENO) != 0;
    bool shown = false;
    {
        std::unique_lock lock(mutex);
        for (int tick = 0;
             !ended.wait_for(lock, std::chrono::milliseconds(100), [&] { return finished; });
             ++tick) {
            if (terminal && tick >= 5) {  // quick actions print nothing
                ShowTick(page, action, progress, tick);
                shown = true;
            }
        }
    }
    worker.join();
    if (shown) {
        std::fprintf(stderr, "\r\033[K");
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    return result;
}

}  // namespace

CliOutput RunAction(CPage& page, const std::string& action, const std::vector<std::string>& args) {
    try {
        const Button* button = page.FindButton(action);
        if (button == nullptr) {
            throw UsageError{"page " + page.Name() + " has no action '" + action + "'"};
        }
        if (!button->first_choice.group.empty()) {
            page.Choose(button->first_choice.group, button->first_choice.index);
        }
        bool json = false;
        bool log = false;
        for (size_t i = 0; i < args.size();) {
            if (args[i] == "--json") {
                json = true;
                ++i;
            } else if (args[i] == "--log") {
                log = true;
                ++i;
            } else {
                i = ApplyGesture(page, args, i);
            }
        }
        if (!page.FindButton(action)->enabled) {
            throw UsageError{"action '" + action + "' is disabled on page " + page.Name()};
        }
        const ActionResult message = PressWithProgress(page, action);
        CliOutput output = Render(page, action, message, json);
        if (log) {
            output.err = LogRecord(page, action, message, LocalTimeText()) + output.err;
        }
        return output;
    } catch (const UsageError& error) {
        return CliOutput{"", "keywright-cli: " + error.message + "\n", kExitUsage};
    } catch (const std::exception& error) {
        // A fault of the program, not of the input: reported as the window reports it.
        return CliOutput{"", InternalErrorBox(page.Name(), error.what()).text + "\n", kExitRefused};
    } catch (...) {
        return CliOutput{"", InternalErrorBox(page.Name(), kUnknownFault).text + "\n",
                         kExitRefused};
    }
}
