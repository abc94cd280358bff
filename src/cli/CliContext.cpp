#include "cli/CliContext.h"

#include <ostream>

#include "cli/CliMessages.h"

namespace kiv {

int UsageError(CliContext& context, const std::string& message) {
    context.err << "kiv-cli: " << message << '\n'
                << (context.command.empty()
                        ? std::string("Try 'kiv-cli --help' for more information.")
                        : Worded(kTryCommandHelp, context.command))
                << '\n';
    return kExitUsage;
}

}  // namespace kiv
