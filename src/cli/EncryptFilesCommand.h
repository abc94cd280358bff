#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/PasswordOptions.h"
#include "messages/MessageCatalogue.h"

namespace kiv {

// kiv-cli encrypt-files [-o OUT] [--name NAME] [-v] FILE...: the files, in order, into one
// encrypted file. A FILE "-" is standard input, stored as NAME; -o - writes to standard output.
class EncryptFilesCommand final : public CliCommand {
  public:
    std::string Name() const override { return "encrypt-files"; }
    std::string Description() const override;
    std::string Manual() const override;
    std::string MissingOperand() const override { return CliText(Message::NoFileToEncrypt); }
    void Declare(CLI::App& command) override;
    int Run(CliContext& context) override;

  private:
    std::optional<std::string> output_;
    std::optional<std::string> name_;
    bool verbose_ = false;
    bool report_ = false;
    bool quiet_ = false;
    bool force_ = false;
    bool noClobber_ = false;
    PasswordOptions password_;
    std::vector<std::string> sources_;
};

}  // namespace kiv
