#pragma once

#include <string>

#include "messages/ExitStatus.h"

namespace kiv {

// The parts of kiv-cli's help that belong to no one command. The manual page says the same
// (docs/man/kiv-cli.1.scd); a test holds the two together.
inline constexpr char kPasswordRulesHelp[] =
    "Passwords: a file password is 3 to 23 bytes long, and a file must be below 2 GiB and a "
    "regular file. A text password has at least 3 bytes; the cipher uses only its first 17, so "
    "two text passwords that share them open each other's texts. A password cannot hold a NUL "
    "byte. A decrypted text ends in the spaces that filled its last block, and ends at its "
    "first NUL byte.";

// The exit statuses, as messages/ExitStatus.h words them.
inline std::string ExitStatusHelp() {
    std::string help = "Exit status (with several failures, that of the first):\n";
    for (const ExitStatusMeaning& meaning : kExitStatusMeanings)
        help += "  " + std::to_string(meaning.status) + "  " + meaning.meaning + "\n";
    return help + "A signal ends kiv-cli as it would any program (128 + N in a shell).";
}

}  // namespace kiv
