#pragma once

#include "cli/CliCommand.h"
#include "cli/PasswordOptions.h"
#include "cli/TextLines.h"

namespace kiv {

// kiv-cli encrypt-text [PASSWORD OPTION]: encrypts standard input line by line (TextLines.h).
class EncryptTextCommand final : public CliCommand {
  public:
    std::string Name() const override { return "encrypt-text"; }
    std::string Description() const override;
    std::string Manual() const override;
    void Declare(CLI::App& command) override { password_.Declare(command); }
    int Run(CliContext& context) override { return RunTextLines(context, password_, true); }

  private:
    PasswordOptions password_;
};

}  // namespace kiv
