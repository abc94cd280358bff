#pragma once

#include <string>

#include "cli/CliContext.h"
#include "messages/MessageCatalogue.h"

namespace CLI {
class App;
}

namespace kiv {

// One kiv-cli command: it declares its options and operands, bound to its own members, and runs
// with what the parse put there. The commands are listed in CommandTable.cpp; a new command is a
// new class there and nothing else in the code (docs/contributing.md has the whole checklist).
class CliCommand {
  public:
    virtual ~CliCommand() = default;

    // The command's word ("encrypt-files") and the description its help shows.
    virtual std::string Name() const = 0;
    virtual std::string Description() const = 0;
    // The manual page's text for the command, in scdoc; empty for the description.
    virtual std::string Manual() const { return {}; }
    // How a missing operand is reported ("no encrypted file given").
    virtual std::string MissingOperand() const { return CliText(Message::ArgumentMissing); }
    // Declares the options and operands on command, the parser's entry for this command.
    virtual void Declare(CLI::App& command) = 0;
    // Runs after a successful parse of a command line that named this command; returns its exit
    // status. Anything it writes to context.out is flushed, and a failure reported, by the caller.
    virtual int Run(CliContext& context) = 0;
};

}  // namespace kiv
