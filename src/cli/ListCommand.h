#pragma once

#include <string>

#include "cli/CliCommand.h"

namespace kiv {

// kiv-cli list [--json | -0] FILE.vrq: the names and sizes stored in an encrypted file, which
// need no password: as aligned text with names made printable, as a JSON array, or as
// NUL-ended records for scripts. FILE.vrq "-" is standard input.
class ListCommand final : public CliCommand {
  public:
    std::string Name() const override { return "list"; }
    std::string Description() const override;
    std::string Manual() const override;
    std::string MissingOperand() const override { return "no encrypted file given"; }
    void Declare(CLI::App& command) override;
    int Run(CliContext& context) override;

  private:
    bool json_ = false;
    bool nulEnded_ = false;
    std::string container_;
};

}  // namespace kiv
