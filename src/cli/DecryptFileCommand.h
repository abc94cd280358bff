#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/PasswordOptions.h"
#include "messages/MessageCatalogue.h"

namespace kiv {

// kiv-cli decrypt-file [-C DIR | --stdout] [-e NAME]... [-v] FILE.vrq...: restores the files
// held in each FILE.vrq beside it or into DIR, or writes their bytes, in order, to standard
// output; only those named NAME when names are given. FILE.vrq "-" is standard input.
class DecryptFileCommand final : public CliCommand {
  public:
    std::string Name() const override { return "decrypt-file"; }
    std::string Description() const override;
    std::string Manual() const override;
    std::string MissingOperand() const override { return CliText(Message::NoEncryptedFile); }
    void Declare(CLI::App& command) override;
    int Run(CliContext& context) override;

  private:
    std::optional<std::string> directory_;
    bool toStdout_ = false;
    bool verbose_ = false;
    bool report_ = false;
    bool quiet_ = false;
    bool force_ = false;
    bool noClobber_ = false;
    PasswordOptions password_;
    std::vector<std::string> names_;
    std::vector<std::string> containers_;
};

}  // namespace kiv
