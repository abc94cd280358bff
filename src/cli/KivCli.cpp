#include "cli/KivCli.h"

#include <ostream>

#include "cli/FileCommands.h"
#include "cli/TextCommand.h"
#ifdef KIV_CLI_WITH_DDE
#include "cli/DdeCommand.h"
#endif

namespace kiv {

namespace {

void PrintHelp(std::ostream& out) {
    out << "Usage: kiv-cli COMMAND [OPTION]... [ARGUMENT]...\n"
           "Protects texts and files with a password, as the desktop program kiv does.\n"
           "\n"
           "Commands:\n"
        << kTextCommandHelp << kFileCommandsHelp
#ifdef KIV_CLI_WITH_DDE
        << kDdeCommandHelp
#endif
        << "\n"
           "Password options (without one, the password is asked for on the terminal, twice\n"
           "when encrypting):\n"
           "  --password-file FILE   the first line of FILE, without its line break\n"
           "  --password-fd N        the first line read from file descriptor N\n"
           "\n"
           "Other options:\n"
           "  --help                 this text (also after a command)\n"
           "  --                     ends the options; later words are arguments\n"
           "\n"
           "Exit status: 0 on success, 1 when the password is refused or a line or file could\n"
           "not be processed, 2 on a usage error.\n";
}

}  // namespace

int RunKivCli(const std::vector<std::string>& words, CliContext& context) {
    if (words.empty()) return UsageError(context, "no command given");
    const std::string& command = words.front();
    context.args.assign(words.begin() + 1, words.end());
    if (command == "--help" || command == "-h" || command == "help") {
        PrintHelp(context.out);
        return kExitOk;
    }
    if (command == "encrypt-text") return RunTextCommand(context, true);
    if (command == "decrypt-text") return RunTextCommand(context, false);
    if (command == "encrypt-files") return RunEncryptFiles(context);
    if (command == "decrypt-file") return RunDecryptFile(context);
    if (command == "list") return RunListContainer(context);
#ifdef KIV_CLI_WITH_DDE
    if (command == "dde") return RunDdeCommand(context);
#endif
    return UsageError(context, "unknown command '" + command + "'");
}

}  // namespace kiv
