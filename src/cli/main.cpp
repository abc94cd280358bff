#include <unistd.h>

#include <iostream>

#include "cli/KivCli.h"
#include "filecrypt/TemporaryFileRegistry.h"
#include "numeric/SystemClock.h"
#include "runtime/ProcessProtection.h"

int main(int argc, char** argv) {
    kiv::ProtectProcessMemory();
    std::ios::sync_with_stdio(false);
    // Ctrl+C, a closed terminal or kill during a run must not leave decrypted data behind.
    kiv::TemporaryFileRegistry::RemoveOnTermination();
    kiv::CliContext context{std::cin,
                            std::cout,
                            std::cerr,
                            kiv::SystemClock::Instance(),
                            isatty(STDERR_FILENO) == 1,
                            isatty(STDIN_FILENO) == 1};
    const std::vector<std::string> words(argv + 1, argv + argc);
    const int status = kiv::RunKivCli(words, context);
    std::cout.flush();
    return std::cout.good() ? status : kiv::kExitFailed;
}
