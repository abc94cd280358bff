#include "cli/DecryptTextCommand.h"

namespace kiv {

std::string DecryptTextCommand::Description() const {
    return "Decrypts standard input line by line. A line that is not a cipher text for the "
           "password is written back unchanged, a block that fails the cipher's check is left "
           "out, and an empty line stands in the place of a line longer than the cipher text of "
           "a 64 MiB line; each is reported on standard error and the exit status is then 1.";
}

std::string DecryptTextCommand::Manual() const {
    return R"(Decrypts standard input line by line. A line that is not a cipher text for the password )"
           R"(is written back unchanged; a block of a line that fails the cipher's check (an altered )"
           R"(character) is left out of the line. Each such line and block is reported on standard )"
           R"(error as *kiv-cli: line* _N_*:* ..., and the exit status is then 1. (The window's editor )"
           R"(leaves such blocks out without a word.) A line may be as long as the cipher text of a )"
           R"(64 MiB line for the password (about three times as long for a long password, up to 22 )"
           R"(characters for every 3 bytes for a 3-byte one); a longer one is treated as )"
           R"(*encrypt-text* treats a line longer than 64 MiB.)";
}

}  // namespace kiv
