#include "cli/CliContext.h"

#include <ostream>

#include "cli/CliMessages.h"
#include "messages/MessageCatalogue.h"

namespace kiv {

int UsageError(CliContext& context, const std::string& message) {
    context.err << "kiv-cli: " << message << '\n'
                << (context.command.empty() ? std::string(CliText(Message::UsageHint))
                                            : Worded(kTryCommandHelp, context.command))
                << '\n';
    return kExitUsage;
}

}  // namespace kiv
