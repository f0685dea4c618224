// keywright-cli: every page of the workbench without a window.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_help.h"
#include "cli/cli_manual.h"
#include "cli/cli_run.h"
#include "common/version.h"
#include "pages/page_registry.h"

namespace {

int Fail(const std::string& message) {
    std::cerr << "keywright-cli: " << message << "\n";
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << Usage();
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        std::cout << Usage();
        return kExitOk;
    }
    if (args[0] == "--version") {
        std::cout << "keywright-cli " << kKeywrightVersion << "\n";
        return kExitOk;
    }
    std::vector<std::unique_ptr<CPage>> pages = CreatePages();
    if (args[0] == "--list") {
        std::cout << PageList(pages);
        return kExitOk;
    }
    if (args[0] == "--man") {
        std::cout << ManPage(pages, kKeywrightVersion);
        return kExitOk;
    }
    if (args[0] == "--completion") {
        if (args.size() != 2 || args[1] != "bash") {
            return Fail("--completion takes one shell: bash");
        }
        std::cout << BashCompletion(pages);
        return kExitOk;
    }
    CPage* page = nullptr;
    for (const auto& candidate : pages) {
        if (candidate->Name() == args[0] && !candidate->Buttons().empty()) {
            page = candidate.get();
        }
    }
    if (page == nullptr) {
        return Fail("unknown page '" + args[0] + "' (keywright-cli --list shows the pages)");
    }
    if (args.size() < 2) {
        return Fail("missing action for page " + page->Name() + " (keywright-cli " + page->Name() +
                    " --help)");
    }
    if (args[1] == "--help") {
        std::cout << PageHelp(*page);
        return kExitOk;
    }
    const CliOutput output =
        RunAction(*page, args[1], std::vector<std::string>(args.begin() + 2, args.end()));
    std::cout << output.out;
    std::cerr << output.err;
    return output.status;
}
