#pragma once

#include "cli/CliCommand.h"
#include "cli/PasswordOptions.h"

namespace kiv {

// kiv-cli encrypt-text / decrypt-text: standard input line by line (LF or CR LF), each line as
// the editor treats one, except that a line is always encrypted whole. One result line (LF) per
// input line on standard output. Nothing decrypted is lost unsaid: a line handed back and every
// block left out of a decrypted line get a "kiv-cli: line N: ..." line on standard error and
// exit status 1 (the window's editor leaves such blocks out silently).
class TextCommand final : public CliCommand {
  public:
    enum class Direction { Encrypt, Decrypt };
    explicit TextCommand(Direction direction) : direction_(direction) {}

    std::string Name() const override;
    std::string Description() const override;
    void Declare(CLI::App& command) override;
    int Run(CliContext& context) override;

  private:
    Direction direction_;
    PasswordOptions password_;
};

// Printed once when a text password is longer than the bytes the cipher uses.
inline constexpr char kTextPasswordCut[] =
    "warning: only the first 17 bytes of a text password count; any password that shares them "
    "opens these texts";

}  // namespace kiv
