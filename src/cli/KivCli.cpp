#include "cli/KivCli.h"

#include <ostream>

#include "cli/CommandLine.h"
#include "cli/CommandTable.h"
#include "cli/FdStreamBuf.h"

namespace kiv {

int RunKivCli(const std::vector<std::string>& words, CliContext& context) {
    const CommandTable commands = KivCliCommands();
    const ParsedCommandLine parsed = ParseCommandLine(words, commands);
    context.command = parsed.command ? parsed.command->Name() : parsed.usageCommand;
    if (!parsed.usageError.empty()) return UsageError(context, parsed.usageError);
    int status = parsed.command ? parsed.command->Run(context) : kExitOk;
    if (!parsed.command) context.out << parsed.print;
    // Output that never arrived is a failure like any other, with the system's reason.
    context.out.flush();
    if (const std::string why = StreamFailure(context.out); !why.empty()) {
        context.err << "kiv-cli: cannot write standard output: " << why << '\n';
        NoteFailure(status, kExitInputOutput);
    }
    return status;
}

}  // namespace kiv
