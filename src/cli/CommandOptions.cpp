#include "cli/CommandOptions.h"

#include <CLI/CLI.hpp>

namespace kiv {

CLI::Option* DeclareValue(CLI::App& command, const std::string& names,
                          const std::string& description, const std::string& value,
                          std::optional<std::string>& into) {
    return command
        .add_option_function<std::string>(
            names, [&into](const std::string& given) { into = given; }, description)
        ->type_name(value);
}

CLI::Option* DeclareRepeatedValue(CLI::App& command, const std::string& names,
                                  const std::string& description, const std::string& value,
                                  std::vector<std::string>& into) {
    // One value per occurrence: the words after it are operands again.
    return command.add_option(names, into, description)
        ->type_name(value)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

CLI::Option* DeclareFlag(CLI::App& command, const std::string& names,
                         const std::string& description, bool& into) {
    return command.add_flag(names, into, description);
}

CLI::Option* DeclareVerbose(CLI::App& command, bool& into) {
    return DeclareFlag(command, "-v,--verbose",
                       "prints one line per file on standard error: \"name \u2192 path\", or why "
                       "it was skipped (a run that succeeds prints nothing without it)",
                       into);
}

CLI::Option* DeclareReport(CLI::App& command, bool& into) {
    return DeclareFlag(command, "--report",
                       "prints the run's report on standard error: each file's name, size and "
                       "blocks, as the window's report list shows them",
                       into);
}

CLI::Option* DeclareQuiet(CLI::App& command, bool& into) {
    return DeclareFlag(command, "-q,--quiet", "prints no warnings and no progress bar", into);
}

void DeclareOverwrite(CLI::App& command, bool& force, bool& noClobber) {
    // Both never reach the parse together; the exclusion shows them as alternatives.
    CLI::Option* replace =
        DeclareFlag(command, "-f,--force", "replaces files in the way of the outputs", force);
    DeclareFlag(command, "-n,--no-clobber",
                "keeps files in the way of the outputs, each named on standard error, and writes "
                "the others",
                noClobber)
        ->excludes(replace);
}

void DeclareOperand(CLI::App& command, const std::string& name, const std::string& description,
                    std::string& into) {
    command.add_option(name, into, description)->required();
}

void DeclareOperands(CLI::App& command, const std::string& name, const std::string& description,
                     std::vector<std::string>& into, bool required) {
    // At least one expected even when none is required: an operand list that expects none
    // counts as complete, and CLI11 then hands the words after "--" back to the program.
    CLI::Option* operands =
        command.add_option(name, into, description)->expected(1, -1)->allow_extra_args();
    if (required) operands->required();
}

}  // namespace kiv
