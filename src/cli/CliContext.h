#pragma once

#include <unistd.h>
#include <functional>
#include <iosfwd>
#include <string>

#include "numeric/Clock.h"

namespace kiv {

// Exit statuses of kiv-cli. With several failures, a run ends with the status of the first.
// A signal ends the process as it would have without kiv-cli's handlers (128 + N in a shell).
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;       // a line, block or entry not encrypted, decrypted,
                                            // restored or listed, or a damaged container
inline constexpr int kExitUsage = 2;        // the command line asks for nothing kiv-cli does
inline constexpr int kExitPassword = 3;     // no password, or one refused: wrong for the container,
                                            // outside the cipher's lengths, holding a NUL
inline constexpr int kExitInputOutput = 4;  // a file, standard input or standard output could
                                            // not be read or written
inline constexpr int kExitStopped = 5;      // kiv-cli could not go on: out of memory, or a fault of
                                            // its own
inline constexpr int kExitNoWindow = 6;     // dde: no desktop program listens for it

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
    // -q: no warnings and no progress.
    bool quiet = false;
    // The command being run, for the hint after a usage error; empty before one is known.
    std::string command = {};
};

// "kiv-cli: <message>" on the error stream, then a hint at the command's help or --help;
// returns kExitUsage.
int UsageError(CliContext& context, const std::string& message);

}  // namespace kiv
