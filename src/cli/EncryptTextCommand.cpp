#include "cli/EncryptTextCommand.h"

namespace kiv {

std::string EncryptTextCommand::Description() const {
    return "Encrypts standard input line by line (LF or CR LF line ends) and writes one "
           "cipher text per line to standard output. Lines are encrypted whole, whatever "
           "their length.";
}

}  // namespace kiv
