#include "cli/EncryptTextCommand.h"

namespace kiv {

std::string EncryptTextCommand::Description() const {
    return "Encrypts standard input line by line (LF or CR LF line ends) and writes one "
           "cipher text per line to standard output. Lines are encrypted whole, up to 64 MiB "
           "each; an empty line stands in the place of a longer one, which is reported on "
           "standard error, and the exit status is then 1.";
}

std::string EncryptTextCommand::Manual() const {
    return R"(Encrypts standard input line by line (LF or CR LF line ends) and writes one cipher text )"
           R"(per line to standard output. Lines are encrypted whole, up to 64 MiB (67108864 bytes, )"
           R"(without the line end) each: a longer line is not held in memory but read past, an empty )"
           R"(line stands in its place, so that every later line keeps its number, and it is reported )"
           R"(as *kiv-cli: line* _N_*:* ...; the exit status is then 1. The password is asked for twice )"
           R"(on the terminal.)";
}

}  // namespace kiv
