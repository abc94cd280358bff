#pragma once

namespace kiv {

// The parts of kiv-cli's help that belong to no one command. The manual page says the same
// (docs/man/kiv-cli.1.scd); a test holds the two together.
inline constexpr char kExitStatusHelp[] =
    "Exit status (with several failures, that of the first):\n"
    "  0  success\n"
    "  1  a line, block or stored file that could not be encrypted, decrypted, restored or "
    "listed, a damaged encrypted file, or a file in the way of an output (without -f or -n)\n"
    "  2  a usage error, or files that cannot go together (two files of one name, an output "
    "that is one of the files)\n"
    "  3  the password was refused: wrong for the encrypted file or for nearly every line of a "
    "text, outside the lengths the cipher "
    "accepts, holding a NUL byte, or not given\n"
    "  4  a file, standard input or standard output that could not be read or written\n"
    "  5  kiv-cli ran out of memory, or stopped on a fault of its own\n"
    "  6  dde: no window of the desktop program is running\n"
    "A signal ends kiv-cli as it would any program (128 + N in a shell).";

inline constexpr char kPasswordRulesHelp[] =
    "Passwords: a file password is 3 to 23 bytes long, and a file must be below 2 GiB and a "
    "regular file. A text password has at least 3 bytes; the cipher uses only its first 17, so "
    "two text passwords that share them open each other's texts. A password cannot hold a NUL "
    "byte. A decrypted text ends in the spaces that filled its last block, and ends at its "
    "first NUL byte.";

}  // namespace kiv
