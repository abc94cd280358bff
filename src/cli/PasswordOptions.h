#pragma once

#include <optional>
#include <string>

#include "cli/CliContext.h"
#include "runtime/SecretText.h"

namespace CLI {
class App;
}

namespace kiv {

// The password options of a command that needs a password: --password-file FILE,
// --password-fd N and --password-env NAME, of which one may be given; without one the password
// is asked for on the terminal.
class PasswordOptions {
  public:
    void Declare(CLI::App& command);

    // The password, or nothing after a "kiv-cli: ..." line on standard error with status set:
    // kExitInputOutput when its file, descriptor or terminal could not be read, kExitPassword
    // when none was given, the two typed ones differ or it holds a NUL byte. confirm asks twice
    // on the terminal.
    // The password is wiped when the result goes.
    std::optional<SecretText> Read(CliContext& context, bool confirm, int& status) const;

    // Whether the password comes from standard input (--password-fd 0), which a command that
    // reads a file from there cannot share.
    bool ReadsStandardInput() const;

  private:
    std::optional<std::string> file_;
    std::optional<std::string> fd_;
    std::optional<std::string> environment_;
};

}  // namespace kiv
