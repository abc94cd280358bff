#include "cli/CliContext.h"

#include <ostream>

#include "cli/FailureLines.h"

#include "messages/MessageCatalogue.h"

namespace kiv {

int UsageError(CliContext& context, const std::string& message) {
    context.err << "kiv-cli: " << message << '\n'
                << (context.command.empty()
                        ? std::string(CliText(Message::UsageHint))
                        : CliWording(Message::CommandUsageHint, {context.command}))
                << '\n';
    return kExitUsage;
}

}  // namespace kiv
