#pragma once

#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "messages/MessageCatalogue.h"

namespace kiv {

// kiv-cli list [--json | -0] FILE.vrq...: the names and sizes stored in encrypted files, which
// need no password: as aligned text with names made printable, as a JSON array, or as
// NUL-ended records for scripts. FILE.vrq "-" is standard input.
class ListCommand final : public CliCommand {
  public:
    std::string Name() const override { return "list"; }
    std::string Description() const override;
    std::string Manual() const override;
    std::string MissingOperand() const override { return CliText(Message::NoEncryptedFile); }
    void Declare(CLI::App& command) override;
    int Run(CliContext& context) override;

  private:
    bool json_ = false;
    bool nulEnded_ = false;
    // Lists one container; separator is what goes before the next JSON object or text block.
    int ListOne(CliContext& context, const std::string& container, bool several,
                const char*& separator);

    std::vector<std::string> containers_;
};

}  // namespace kiv
