#include "cli/DecryptTextCommand.h"

namespace kiv {

std::string DecryptTextCommand::Description() const {
    return "Decrypts standard input line by line. A line that is not a cipher text for the "
           "password is written back unchanged, a block that fails the cipher's check is left "
           "out, and an empty line stands in the place of a line longer than the cipher text of "
           "a 64 MiB line. The first five such lines are reported on standard error, then one "
           "line with their count (-q: only that one); the exit status is 3 when at most one "
           "in a hundred of the cipher-text lines decrypted (a wrong password), else 1.";
}

std::string DecryptTextCommand::Manual() const {
    return R"(Decrypts standard input line by line. A line that is not a cipher text for the password )"
           R"(is written back unchanged; a block of a line that fails the cipher's check (an altered )"
           R"(character) is left out of the line. The first five such lines and their blocks are )"
           R"(reported on standard error as *kiv-cli: line* _N_*:* ..., then one line gives their )"
           R"(count (with *-q*, only that line). A wrong password fails the check on nearly every )"
           R"(line, but about one line in two thousand passes it by chance: when at most one in a )"
           R"(hundred of the lines that are cipher texts decrypted (empty lines do not count), the )"
           R"(line says "wrong password" and the exit status is 3, else it is 1. (The window's editor )"
           R"(leaves such blocks out without a word.) A line may be as long as the cipher text of a )"
           R"(64 MiB line for the password (about three times as long for a long password, up to 22 )"
           R"(characters for every 3 bytes for a 3-byte one); a longer one is treated as )"
           R"(*encrypt-text* treats a line longer than 64 MiB.)";
}

}  // namespace kiv
