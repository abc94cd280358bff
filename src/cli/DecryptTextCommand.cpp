#include "cli/DecryptTextCommand.h"

namespace kiv {

std::string DecryptTextCommand::Description() const {
    return "Decrypts standard input line by line. A line that is not a cipher text for the "
           "password is written back unchanged, a block that fails the cipher's check is left "
           "out, and an empty line stands in the place of a line longer than the cipher text of "
           "a 64 MiB line; each is reported on standard error and the exit status is then 1.";
}

}  // namespace kiv
