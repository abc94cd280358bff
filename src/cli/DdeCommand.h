#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "messages/MessageCatalogue.h"

namespace kiv {

// kiv-cli dde [--service NAME] TOPIC [MACRO]...: opens a conversation with the desktop
// program's command service, executes each macro and prints each answer on its own line.
class DdeCommand final : public CliCommand {
  public:
    // The desktop program answers at once unless one of its dialogs is busy; the limit only
    // keeps kiv-cli from waiting for ever on a hung program.
    static constexpr std::chrono::milliseconds kAnswerLimit{30000};

    std::string Name() const override { return "dde"; }
    std::string Description() const override;
    std::string Manual() const override;
    std::string MissingOperand() const override { return CliText(Message::NoTopic); }
    void Declare(CLI::App& command) override;
    int Run(CliContext& context) override;

  private:
    std::optional<std::string> service_;
    std::string topic_;
    std::vector<std::string> macros_;
};

}  // namespace kiv
