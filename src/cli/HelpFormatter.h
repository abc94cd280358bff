#pragma once

#include <CLI/App.hpp>
#include <CLI/Formatter.hpp>
#include <string>

namespace kiv {

// kiv-cli's help, written from the declared commands, options and operands so that it says what
// the parse accepts. The program's help lists each command with its usage and description,
// then the option groups the commands share; a command's help gives its usage, description,
// operands and options. Texts are wrapped to 80 columns.
class HelpFormatter final : public CLI::Formatter {
  public:
    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override;

    // A command's usage after "kiv-cli ": its name, its options (those that exclude each other
    // as one bracket of alternatives) and its operands, e.g. "list FILE.vrq".
    static std::string Synopsis(const CLI::App& command);
};

}  // namespace kiv
