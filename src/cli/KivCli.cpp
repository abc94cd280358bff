#include "cli/KivCli.h"

#include <ostream>

#include "cli/CommandLine.h"
#include "cli/FileCommands.h"
#include "cli/TextCommand.h"
#ifdef KIV_CLI_WITH_DDE
#include "cli/DdeCommand.h"
#endif

namespace kiv {

int RunKivCli(const std::vector<std::string>& words, CliContext& context) {
    const ParsedCommandLine parsed = ParseCommandLine(words);
    if (!parsed.usageError.empty()) return UsageError(context, parsed.usageError);
    if (!parsed.request) {
        context.out << parsed.print;
        return kExitOk;
    }
    const CommandRequest& request = *parsed.request;
    switch (request.command) {
        case CliCommand::EncryptText:
            return RunTextCommand(context, request, true);
        case CliCommand::DecryptText:
            return RunTextCommand(context, request, false);
        case CliCommand::EncryptFiles:
            return RunEncryptFiles(context, request);
        case CliCommand::DecryptFile:
            return RunDecryptFile(context, request);
        case CliCommand::List:
            return RunListContainer(context, request);
        case CliCommand::Dde:
#ifdef KIV_CLI_WITH_DDE
            return RunDdeCommand(context, request);
#else
            break;  // not declared without Qt
#endif
    }
    return UsageError(context, "unknown command");
}

}  // namespace kiv
