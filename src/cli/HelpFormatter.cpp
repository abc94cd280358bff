#include "cli/HelpFormatter.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace kiv {

namespace {

constexpr std::size_t kWidth = 80;
constexpr std::size_t kLabelColumn = 25;

// text's words on lines of at most kWidth columns, each indented by indent blanks.
std::string Wrapped(const std::string& text, std::size_t indent) {
    std::istringstream words(text);
    std::string out, line, word;
    while (words >> word) {
        if (!line.empty() && indent + line.size() + 1 + word.size() > kWidth) {
            out += std::string(indent, ' ') + line + '\n';
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) out += std::string(indent, ' ') + line + '\n';
    return out;
}

// Each line of text wrapped on its own, keeping its indent; an empty line stays.
std::string Paragraphs(const std::string& text) {
    std::istringstream lines(text);
    std::string out, line;
    while (std::getline(lines, line)) {
        const std::size_t indent = line.find_first_not_of(' ');
        if (indent == std::string::npos) {
            out += "\n";
            continue;
        }
        // An indented "label  text" line hangs its text after the label.
        const std::size_t gap = indent > 0 ? line.find("  ", indent) : std::string::npos;
        if (gap == std::string::npos) {
            out += Wrapped(line, indent);
            continue;
        }
        const std::size_t column = line.find_first_not_of(' ', gap);
        out += line.substr(0, column) + Wrapped(line.substr(column), column).substr(column);
    }
    return out;
}

bool IsShown(const CLI::Option* option) {
    return !option->get_group().empty();
}
bool IsShownCommand(const CLI::App* command) {
    return !command->get_group().empty();
}

bool TakesValue(const CLI::Option& option) {
    return option.get_type_size_max() > 0 && !option.get_type_name().empty();
}

// "-o OUT" in a usage line: the shortest name, then the value's name.
std::string UsageName(const CLI::Option& option) {
    std::string name = option.get_snames().empty() ? "--" + option.get_lnames().front()
                                                   : "-" + option.get_snames().front();
    if (TakesValue(option)) name += " " + option.get_type_name();
    return name;
}

// "-o, --output OUT" in an option list.
std::string ListName(const CLI::Option& option) {
    if (option.get_positional()) return option.get_name(true);
    std::string name;
    for (const auto& s : option.get_snames())
        name += (name.empty() ? "-" : ", -") + s;
    for (const auto& l : option.get_lnames())
        name += (name.empty() ? "--" : ", --") + l;
    if (TakesValue(option)) name += " " + option.get_type_name();
    return name;
}

std::string ListEntry(const CLI::Option& option) {
    std::string label = "  " + ListName(option);
    label += label.size() + 2 > kLabelColumn ? "\n" + std::string(kLabelColumn, ' ')
                                             : std::string(kLabelColumn - label.size(), ' ');
    const std::string text = Wrapped(option.get_description(), kLabelColumn);
    return label + text.substr(kLabelColumn);
}

// The groups of options, in the order of their first option.
std::vector<std::string> GroupsOf(const std::vector<const CLI::Option*>& options) {
    std::vector<std::string> groups;
    for (const CLI::Option* option : options)
        if (std::find(groups.begin(), groups.end(), option->get_group()) == groups.end())
            groups.push_back(option->get_group());
    return groups;
}

std::string OptionList(const std::vector<const CLI::Option*>& options) {
    std::string out;
    for (const std::string& group : GroupsOf(options)) {
        out += (out.empty() ? "" : "\n") + Wrapped(group + ":", 0);
        for (const CLI::Option* option : options)
            if (option->get_group() == group) out += ListEntry(*option);
    }
    return out;
}

std::string CommandHelp(const CLI::App& command) {
    std::string out = "Usage: " + command.get_parent()->get_name() + " " +
                      HelpFormatter::Synopsis(command) + "\n" +
                      Wrapped(command.get_description(), 0);
    const auto operands =
        command.get_options([](const CLI::Option* o) { return o->get_positional(); });
    if (!operands.empty()) {
        out += "\nArguments:\n";
        for (const CLI::Option* operand : operands)
            out += ListEntry(*operand);
    }
    const auto options = command.get_options(
        [](const CLI::Option* o) { return !o->get_positional() && IsShown(o); });
    if (!options.empty()) out += "\n" + OptionList(options);
    return out;
}

std::string ProgramHelp(const CLI::App& program) {
    std::string out = "Usage: " + program.get_name() + " COMMAND [OPTION]... [ARGUMENT]...\n" +
                      Wrapped(program.get_description(), 0) + "\nCommands:\n";
    // An option that several commands declare (the password options) is described once here;
    // an option of one command only is in its usage line and its own help.
    std::vector<const CLI::Option*> seen, shared;
    const auto isNamed = [](const CLI::Option* option) {
        return
            [option](const CLI::Option* other) { return other->get_name() == option->get_name(); };
    };
    for (const CLI::App* command : program.get_subcommands(IsShownCommand)) {
        out += "  " + HelpFormatter::Synopsis(*command) + "\n" +
               Wrapped(command->get_description(), 6);
        for (const CLI::Option* option : command->get_options([&](const CLI::Option* o) {
                 return !o->get_positional() && IsShown(o) && o != command->get_help_ptr();
             })) {
            if (std::none_of(seen.begin(), seen.end(), isNamed(option)))
                seen.push_back(option);
            else if (std::none_of(shared.begin(), shared.end(), isNamed(option)))
                shared.push_back(option);
        }
    }
    for (const CLI::Option* option : program.get_options(IsShown))
        shared.push_back(option);
    return out + "\n" + OptionList(shared) + "\n" + Paragraphs(program.get_footer());
}

}  // namespace

std::string HelpFormatter::Synopsis(const CLI::App& command) {
    std::string out = command.get_name();
    std::vector<const CLI::Option*> done;
    const auto options = command.get_options(
        [&](const CLI::Option* o) { return !o->get_positional() && o != command.get_help_ptr(); });
    for (const CLI::Option* option : options) {
        if (std::find(done.begin(), done.end(), option) != done.end()) continue;
        std::string alternatives = UsageName(*option);
        const auto excluded = option->get_excludes();
        for (const CLI::Option* other : options) {
            if (excluded.count(const_cast<CLI::Option*>(other)) == 0) continue;
            alternatives += " | " + UsageName(*other);
            done.push_back(other);
        }
        out += " [" + alternatives + "]";
        if (option->get_multi_option_policy() == CLI::MultiOptionPolicy::TakeAll) out += "...";
    }
    for (const CLI::Option* operand :
         command.get_options([](const CLI::Option* o) { return o->get_positional(); })) {
        const std::string name = operand->get_name(true);
        out += " " + (operand->get_required() ? name : "[" + name + "]");
        if (operand->get_expected_max() > 1) out += "...";
    }
    return out;
}

std::string HelpFormatter::make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const {
    return app->get_parent() == nullptr ? ProgramHelp(*app) : CommandHelp(*app);
}

}  // namespace kiv
