#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/CliCommand.h"

namespace kiv {

// kiv-cli dde [--service NAME] TOPIC [MACRO]...: opens a conversation with the desktop
// program's command service, executes each macro and prints each answer on its own line.
class DdeCommand final : public CliCommand {
  public:
    std::string Name() const override { return "dde"; }
    std::string Description() const override;
    std::string MissingOperand() const override { return "no topic given"; }
    void Declare(CLI::App& command) override;
    int Run(CliContext& context) override;

  private:
    std::optional<std::string> service_;
    std::string topic_;
    std::vector<std::string> macros_;
};

}  // namespace kiv
