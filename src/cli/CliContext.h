#pragma once

#include <unistd.h>
#include <functional>
#include <iosfwd>
#include <string>

#include "messages/ExitStatus.h"
#include "numeric/Clock.h"

namespace kiv {

// Records failure as the run's status unless an earlier failure already did.
inline void NoteFailure(int& status, int failure) {
    if (status == kExitOk) status = failure;
}

// What one kiv-cli command runs against: its streams and the clock. Tests hand in string streams
// and a fixed clock. The file commands that stream (a source or container "-", -o -, --stdout)
// read and write the descriptors inFd and outFd directly, with large buffers of their own.
struct CliContext {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    const Clock& clock;
    bool errIsTerminal = false;
    bool inIsTerminal = false;
    // Asked between the blocks of a file run; true ends the run, leaving nothing half-written.
    std::function<bool()> cancelRequested = {};
    int inFd = STDIN_FILENO;
    int outFd = STDOUT_FILENO;
    // The most bytes an encryption stores as one file before it stores parts; 0 for the most
    // one stored file holds. Tests make it small.
    std::int64_t partBound = 0;
    // -q: no warnings and no progress.
    bool quiet = false;
    // The command being run, for the hint after a usage error; empty before one is known.
    std::string command = {};
};

// "kiv-cli: <message>" on the error stream, then a hint at the command's help or --help;
// returns kExitUsage.
int UsageError(CliContext& context, const std::string& message);

}  // namespace kiv
