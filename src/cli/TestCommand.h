#pragma once

#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/PasswordOptions.h"

namespace kiv {

// kiv-cli test [--json] [-v] FILE.vrq...: checks the password and every entry of each encrypted
// file, decoding every block, and writes nothing; its status is the one decrypt-file would give.
class TestCommand final : public CliCommand {
  public:
    std::string Name() const override { return "test"; }
    std::string Description() const override;
    std::string Manual() const override;
    std::string MissingOperand() const override { return "no encrypted file given"; }
    void Declare(CLI::App& command) override;
    int Run(CliContext& context) override;

  private:
    bool json_ = false;
    bool verbose_ = false;
    bool quiet_ = false;
    PasswordOptions password_;
    std::vector<std::string> containers_;
};

}  // namespace kiv
