#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <new>
#include <string_view>

#include "cli/FdStreamBuf.h"
#include "cli/KivCli.h"
#include "filecrypt/TemporaryFileRegistry.h"
#include "messages/MessageCatalogue.h"
#include "numeric/SystemClock.h"
#include "runtime/ProcessProtection.h"

namespace {

// A standard descriptor the caller closed ("kiv-cli ... >&-") would otherwise be taken by the
// next file opened, and output meant for it would land in that file. /dev/null opened the wrong
// way round takes its place: every read or write on it fails (EBADF), and is reported so.
void HoldClosedStandardDescriptors() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
        const int held = open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        if (held >= 0 && held != fd) {
            dup2(held, fd);
            close(held);
        }
    }
}

// A restore keeps a descriptor open for each file that waits to be named together with others:
// the soft limit most desktops start programs with (1024) would cut its batches short. It is
// raised towards the hard one, which a program that never calls select() may do.
void RaiseDescriptorLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
    const rlim_t wanted = std::min<rlim_t>(limit.rlim_max, rlim_t{1} << 16);
    if (limit.rlim_cur >= wanted) return;
    limit.rlim_cur = wanted;
    setrlimit(RLIMIT_NOFILE, &limit);
}

bool TerminalIsDumb() {
    const char* term = std::getenv("TERM");
    return term != nullptr && std::string_view(term) == "dumb";
}

int Run(int argc, char** argv) {
    kiv::ProtectProcessMemory();
    HoldClosedStandardDescriptors();
    RaiseDescriptorLimit();
    std::ios::sync_with_stdio(false);
    // Ctrl+C, a closed terminal or kill during a run must not leave decrypted data behind.
    kiv::TemporaryFileRegistry::RemoveOnTermination();
    kiv::FdStreamBuf inBuffer(STDIN_FILENO);
    kiv::FdStreamBuf outBuffer(STDOUT_FILENO);
    std::istream in(&inBuffer);
    std::ostream out(&outBuffer);
    kiv::CliContext context{in, out, std::cerr, kiv::SystemClock::Instance(),
                            // A terminal that cannot move the cursor gets no bar.
                            isatty(STDERR_FILENO) == 1 && !TerminalIsDumb(),
                            isatty(STDIN_FILENO) == 1};
    const std::vector<std::string> words(argv + 1, argv + argc);
    return kiv::RunKivCli(words, context);
}

void Say(const char* what) {
    std::cerr << "kiv-cli: " << what << '\n';
}

}  // namespace

// Memory can run out anywhere, and an exception that left main would end the process by abort,
// without a word and with temporary files left behind. Caught here, it has unwound every run
// (whose outputs are then removed) and ends in one line and its own status.
int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        // Its own text names a type, not a problem anybody could act on.
        Say(kiv::CliText(kiv::Message::OutOfMemory));
    } catch (const std::exception& error) {
        Say(error.what());
    } catch (...) {
        Say(kiv::CliText(kiv::Message::UnexpectedFault));
    }
    return kiv::kExitStopped;
}
