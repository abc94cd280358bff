#pragma once

#include "cli/CliCommand.h"
#include "cli/CommandOptions.h"
#include "cli/PasswordOptions.h"
#include "cli/TextLines.h"

namespace kiv {

// kiv-cli decrypt-text [PASSWORD OPTION]: decrypts standard input line by line (TextLines.h).
class DecryptTextCommand final : public CliCommand {
  public:
    std::string Name() const override { return "decrypt-text"; }
    std::string Description() const override;
    std::string Manual() const override;
    void Declare(CLI::App& command) override {
        DeclareQuiet(command, quiet_);
        password_.Declare(command);
    }
    int Run(CliContext& context) override {
        context.quiet = quiet_;
        return RunTextLines(context, password_, false);
    }

  private:
    bool quiet_ = false;
    PasswordOptions password_;
};

}  // namespace kiv
