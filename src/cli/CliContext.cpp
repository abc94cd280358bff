#include "cli/CliContext.h"
#include "messages/MessageCatalogue.h"

#include <ostream>

namespace kiv {

int UsageError(CliContext& context, const std::string& message) {
    context.err << "kiv-cli: " << message << '\n' << CliText(Message::UsageHint) << '\n';
    return kExitUsage;
}

}  // namespace kiv
