#include "cli/CommandDescription.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "cli/HelpFormatter.h"

namespace kiv {

namespace {

OptionDescription Described(const CLI::Option& option) {
    OptionDescription described;
    for (const auto& name : option.get_snames())
        described.names.push_back("-" + name);
    for (const auto& name : option.get_lnames())
        described.names.push_back("--" + name);
    if (option.get_positional() || option.get_type_size_max() > 0)
        described.value = option.get_positional() ? option.get_name(true) : option.get_type_name();
    described.description = option.get_description();
    described.repeats = option.get_expected_max() > 1;
    described.required = option.get_required();
    return described;
}

bool IsShown(const CLI::Option* option) {
    return !option->get_group().empty();
}

}  // namespace

ProgramDescription DescribeProgram(const CLI::App& program,
                                   const std::function<std::string(const CLI::App&)>& manual) {
    ProgramDescription described;
    const auto add = [&](const CLI::Option& option, const std::string& command) {
        const OptionDescription option_ = Described(option);
        auto known = std::find_if(
            described.options.begin(), described.options.end(),
            [&](const OptionDescription& other) { return other.names == option_.names; });
        if (known == described.options.end())
            known = described.options.insert(described.options.end(), option_);
        if (!command.empty()) known->commands.push_back(command);
    };
    for (const CLI::App* command :
         program.get_subcommands([](const CLI::App* c) { return !c->get_group().empty(); })) {
        CommandDescription entry{command->get_name(),
                                 HelpFormatter::Synopsis(*command),
                                 command->get_description(),
                                 manual(*command),
                                 {},
                                 {}};
        for (const CLI::Option* option : command->get_options(IsShown)) {
            if (option->get_positional()) {
                entry.operands.push_back(Described(*option));
                continue;
            }
            const OptionDescription names = Described(*option);
            entry.options.insert(entry.options.end(), names.names.begin(), names.names.end());
            if (option != command->get_help_ptr()) add(*option, command->get_name());
        }
        described.commands.push_back(std::move(entry));
    }
    for (const CLI::Option* option : program.get_options(IsShown))
        add(*option, "");
    OptionDescription subject{{}, "COMMAND", "the command to show the help of", {}, false, false};
    described.commands.push_back({"help",
                                  "help [COMMAND]",
                                  "The same as --help; help COMMAND prints that command's help "
                                  "alone, as COMMAND --help does.",
                                  "",
                                  {"-h", "--help"},
                                  {subject}});
    return described;
}

WordKind KindOf(const OptionDescription& option) {
    if (std::find(option.names.begin(), option.names.end(), "--password-env") != option.names.end())
        return WordKind::kEnvironment;
    if (option.value == "FILE" || option.value == "OUT") return WordKind::kFile;
    if (option.value == "DIR") return WordKind::kFolder;
    if (option.value == "FILE.vrq") return WordKind::kContainer;
    if (option.value == "COMMAND") return WordKind::kCommand;
    if (option.value == "TOPIC") return WordKind::kTopic;
    return WordKind::kNone;
}

}  // namespace kiv
