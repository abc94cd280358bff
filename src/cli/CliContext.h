#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "numeric/Clock.h"

namespace kiv {

// Exit statuses of kiv-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// What one kiv-cli command runs against: its streams and the clock. Tests hand in string streams
// and a fixed clock.
struct CliContext {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    const Clock& clock;
    bool errIsTerminal = false;
    bool inIsTerminal = false;
    // Asked between the blocks of a file run; true ends the run, leaving nothing half-written.
    std::function<bool()> cancelRequested = {};
};

// "kiv-cli: <message>" on the error stream, then a hint at --help; returns kExitUsage.
int UsageError(CliContext& context, const std::string& message);

}  // namespace kiv
