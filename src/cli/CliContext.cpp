#include "cli/CliContext.h"

#include <ostream>

namespace kiv {

int UsageError(CliContext& context, const std::string& message) {
    context.err << "kiv-cli: " << message << "\nTry 'kiv-cli --help' for more information.\n";
    return kExitUsage;
}

}  // namespace kiv
