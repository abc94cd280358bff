#include "cli/EncryptTextCommand.h"

namespace kiv {

std::string EncryptTextCommand::Description() const {
    return "Encrypts standard input line by line (LF or CR LF line ends) and writes one "
           "cipher text per line to standard output. Lines are encrypted whole, up to 64 MiB "
           "each; an empty line stands in the place of a longer one, which is reported on "
           "standard error, and the exit status is then 1.";
}

}  // namespace kiv
