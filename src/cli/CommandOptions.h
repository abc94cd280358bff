#pragma once

#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace kiv {

// The ways kiv-cli's commands declare their options and operands, so that every command words
// and shows them alike. Each binds to a member of the command that declares it.

// An option with a value, e.g. names "-o,--output", value "OUT".
CLI::Option* DeclareValue(CLI::App& command, const std::string& names,
                          const std::string& description, const std::string& value,
                          std::optional<std::string>& into);
// An option with a value that may be given several times, each adding one.
CLI::Option* DeclareRepeatedValue(CLI::App& command, const std::string& names,
                                  const std::string& description, const std::string& value,
                                  std::vector<std::string>& into);
// An option without a value.
CLI::Option* DeclareFlag(CLI::App& command, const std::string& names,
                         const std::string& description, bool& into);
// -v, --verbose: one line per file on standard error.
CLI::Option* DeclareVerbose(CLI::App& command, bool& into);
// --report: the run's report, as the window's report list shows it, on standard error.
CLI::Option* DeclareReport(CLI::App& command, bool& into);
// -q, --quiet: no warnings and no progress bar.
CLI::Option* DeclareQuiet(CLI::App& command, bool& into);
// -f, --force and -n, --no-clobber: what becomes of files in the way of the outputs; of the
// two, the one given last counts.
void DeclareOverwrite(CLI::App& command, bool& force, bool& noClobber);
// One required operand.
void DeclareOperand(CLI::App& command, const std::string& name, const std::string& description,
                    std::string& into);
// Operands that may repeat, at least one when required. Words after "--" still reach them.
void DeclareOperands(CLI::App& command, const std::string& name, const std::string& description,
                     std::vector<std::string>& into, bool required);

}  // namespace kiv
