#include "cli/ShellCompletion.h"

#include <algorithm>
#include <map>

namespace kiv {

namespace {

constexpr char kTopic[] = "DdeServerConv1";

std::string Joined(const std::vector<std::string>& words, const std::string& separator) {
    std::string out;
    for (const std::string& word : words)
        out += (out.empty() ? "" : separator) + word;
    return out;
}

std::vector<std::string> CommandNames(const ProgramDescription& program) {
    std::vector<std::string> names;
    for (const CommandDescription& command : program.commands)
        names.push_back(command.name);
    return names;
}

// The options that belong to no command (-h, --help, --version).
std::vector<std::string> ProgramOptions(const ProgramDescription& program) {
    std::vector<std::string> names;
    for (const OptionDescription& option : program.options)
        if (option.commands.empty())
            names.insert(names.end(), option.names.begin(), option.names.end());
    return names;
}

// Text between single quotes in a shell script.
std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The first sentence of a description, as a completion's short hint.
std::string Hint(const std::string& description) {
    std::string hint =
        description.substr(0, std::min(description.find(". "), description.find("; ")));
    if (!hint.empty() && hint.back() == '.') hint.pop_back();
    return hint;
}

// A bash command that fills COMPREPLY with words of kind matching $cur.
std::string BashWords(WordKind kind, const ProgramDescription& program) {
    switch (kind) {
        case WordKind::kFile:
            return "compopt -o filenames; mapfile -t COMPREPLY < <(compgen -f -- \"$cur\")";
        case WordKind::kFolder:
            return "compopt -o filenames; mapfile -t COMPREPLY < <(compgen -d -- \"$cur\")";
        case WordKind::kContainer:
            // .vrq and .VRQ names (the window's file dialog matches either), and folders, to
            // get to the encrypted files inside them.
            return "compopt -o filenames; mapfile -t COMPREPLY < <(compgen -f -X "
                   "'!*.[vV][rR][qQ]' -- \"$cur\"; compgen -d -- \"$cur\")";
        case WordKind::kEnvironment:
            return "mapfile -t COMPREPLY < <(compgen -e -- \"$cur\")";
        case WordKind::kCommand: {
            std::vector<std::string> names = CommandNames(program);
            names.pop_back();  // help
            return "mapfile -t COMPREPLY < <(compgen -W " + Quoted(Joined(names, " ")) +
                   " -- \"$cur\")";
        }
        case WordKind::kTopic:
            return std::string("mapfile -t COMPREPLY < <(compgen -W ") + kTopic + " -- \"$cur\")";
        case WordKind::kNone:
            break;
    }
    return ":";
}

std::string ZshAction(WordKind kind, const ProgramDescription& program) {
    switch (kind) {
        case WordKind::kFile:
            return "_files";
        case WordKind::kFolder:
            return "_files -/";
        case WordKind::kContainer:
            return "_files -g \"*.(#i)vrq(-.)\"";
        case WordKind::kEnvironment:
            return "_parameters -g \"*export*\"";
        case WordKind::kCommand: {
            std::vector<std::string> names = CommandNames(program);
            names.pop_back();
            return "(" + Joined(names, " ") + ")";
        }
        case WordKind::kTopic:
            return std::string("(") + kTopic + ")";
        case WordKind::kNone:
            break;
    }
    return " ";
}

std::string FishArguments(WordKind kind, const ProgramDescription& program) {
    switch (kind) {
        case WordKind::kFile:
            return " -F";
        case WordKind::kFolder:
            return " -a '(__fish_complete_directories)'";
        case WordKind::kContainer:
            return " -a '(__fish_complete_suffix .vrq)'";
        case WordKind::kEnvironment:
            return " -a '(set -xn)'";
        case WordKind::kCommand: {
            std::vector<std::string> names = CommandNames(program);
            names.pop_back();
            return " -a " + Quoted(Joined(names, " "));
        }
        case WordKind::kTopic:
            return std::string(" -a ") + kTopic;
        case WordKind::kNone:
            break;
    }
    return "";
}

// The zsh text inside "[...]" or after ":": brackets, colons and backslashes taken literally.
std::string ZshText(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '[' || c == ']' || c == ':' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

WordKind OperandKind(const CommandDescription& command) {
    return command.operands.empty() ? WordKind::kNone : KindOf(command.operands.front());
}

}  // namespace

std::string BashCompletion(const ProgramDescription& program) {
    std::string values, commandOptions, operands;
    std::map<std::string, std::string> byKind;
    for (const OptionDescription& option : program.options) {
        if (option.value.empty()) continue;
        std::string& names = byKind[BashWords(KindOf(option), program)];
        names += (names.empty() ? "" : " | ") + Joined(option.names, " | ");
    }
    for (const auto& [words, names] : byKind)
        values += "        " + names + ")\n            " + words + "\n            return ;;\n";
    for (const CommandDescription& command : program.commands) {
        commandOptions += "        " + command.name +
                          ") options=" + Quoted(Joined(command.options, " ")) + " ;;\n";
        operands +=
            "        " + command.name + ") " + BashWords(OperandKind(command), program) + " ;;\n";
    }
    return "# bash completion for kiv-cli, written by kiv-cli --generate bash from its commands.\n"
           "# Self-contained (no helpers of the bash-completion package), so that it also works\n"
           "# when sourced on its own.\n"
           "_kiv_cli() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
           "    local command='' ended=0 i\n"
           "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
           "        case ${COMP_WORDS[i]} in\n"
           "            --) [[ -n $command ]] && ended=1 ;;\n"
           "            -* | =) ;;\n"
           "            *) [[ -z $command ]] && command=${COMP_WORDS[i]} ;;\n"
           "        esac\n"
           "    done\n"
           "    COMPREPLY=()\n"
           "    if [[ -z $command ]]; then\n"
           "        mapfile -t COMPREPLY < <(compgen -W " +
           Quoted(Joined(CommandNames(program), " ") + " " + Joined(ProgramOptions(program), " ")) +
           " -- \"$cur\")\n"
           "        return\n"
           "    fi\n"
           "    if ((ended == 0)); then\n"
           "        # \"--option=value\": bash splits it at \"=\" unless COMP_WORDBREAKS lacks "
           "it.\n"
           "        if [[ $cur == --*=* ]]; then\n"
           "            prev=${cur%%=*} cur=${cur#*=}\n"
           "        elif [[ $cur == = ]]; then\n"
           "            cur=''\n"
           "        elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then\n"
           "            prev=${COMP_WORDS[COMP_CWORD-2]}\n"
           "        fi\n"
           "        case $prev in\n" +
           values +
           "        esac\n"
           "        local options\n"
           "        case $command in\n" +
           commandOptions +
           "        *) return ;;\n"
           "        esac\n"
           "        if [[ $cur == -* ]]; then\n"
           "            mapfile -t COMPREPLY < <(compgen -W \"$options\" -- \"$cur\")\n"
           "            return\n"
           "        fi\n"
           "    fi\n"
           "    case $command in\n" +
           operands +
           "    esac\n"
           "}\n"
           "complete -F _kiv_cli kiv-cli\n";
}

std::string ZshCompletion(const ProgramDescription& program) {
    std::string commands, cases;
    for (const CommandDescription& command : program.commands) {
        commands +=
            "        " + Quoted(command.name + ":" + ZshText(Hint(command.description))) + "\n";
        cases += "        " + command.name + ")\n            _arguments -s -S";
        for (const OptionDescription& option : program.options) {
            if (std::find(option.commands.begin(), option.commands.end(), command.name) ==
                option.commands.end())
                continue;
            const std::string hint = "[" + ZshText(Hint(option.description)) + "]";
            const std::string value = option.value.empty() ? ""
                                                           : ":" + ZshText(option.value) + ":" +
                                                                 ZshAction(KindOf(option), program);
            const std::string all = "(" + Joined(option.names, " ") + ")";
            for (const std::string& name : option.names)
                cases += " \\\n                " +
                         Quoted(all + name +
                                (name.starts_with("--") && !option.value.empty() ? "=" : "") +
                                hint + value);
        }
        cases += " \\\n                '(- *)'{-h,--help}'[this command'\\''s help]'";
        for (const OptionDescription& operand : command.operands)
            cases += " \\\n                " +
                     Quoted(std::string(operand.repeats ? "*" : "") + ":" + ZshText(operand.value) +
                            ":" + ZshAction(KindOf(operand), program));
        cases += " ;;\n";
    }
    std::string own;
    for (const OptionDescription& option : program.options)
        if (option.commands.empty())
            for (const std::string& name : option.names)
                own += " \\\n        " +
                       Quoted("(- *)" + name + "[" + ZshText(Hint(option.description)) + "]");
    return "#compdef kiv-cli\n"
           "# zsh completion for kiv-cli, written by kiv-cli --generate zsh from its commands.\n"
           "_kiv_cli() {\n"
           "    local -a commands\n"
           "    commands=(\n" +
           commands +
           "    )\n"
           "    local curcontext=$curcontext state line\n"
           "    _arguments -C" +
           own +
           " \\\n        '1:command:->command' '*::argument:->argument'\n"
           "    case $state in\n"
           "    command) _describe -t commands command commands ;;\n"
           "    argument)\n"
           "        case $line[1] in\n" +
           cases +
           "        esac ;;\n"
           "    esac\n"
           "}\n"
           "_kiv_cli \"$@\"\n";
}

std::string FishCompletion(const ProgramDescription& program) {
    std::string out =
        "# fish completion for kiv-cli, written by kiv-cli --generate fish from its commands.\n"
        "complete -c kiv-cli -f\n";
    const std::string commands = Joined(CommandNames(program), " ");
    for (const OptionDescription& option : program.options) {
        if (!option.commands.empty()) continue;
        out += "complete -c kiv-cli -n '__fish_use_subcommand'";
        for (const std::string& name : option.names)
            out += (name.starts_with("--") ? " -l " + name.substr(2) : " -s " + name.substr(1));
        out += " -d " + Quoted(Hint(option.description)) + "\n";
    }
    for (const CommandDescription& command : program.commands) {
        const std::string when = " -n " + Quoted("__fish_seen_subcommand_from " + command.name);
        out += "complete -c kiv-cli -n " + Quoted("not __fish_seen_subcommand_from " + commands) +
               " -a " + command.name + " -d " + Quoted(Hint(command.description)) + "\n";
        for (const OptionDescription& option : program.options) {
            if (std::find(option.commands.begin(), option.commands.end(), command.name) ==
                option.commands.end())
                continue;
            out += "complete -c kiv-cli" + when;
            for (const std::string& name : option.names)
                out += (name.starts_with("--") ? " -l " + name.substr(2) : " -s " + name.substr(1));
            if (!option.value.empty()) out += " -r" + FishArguments(KindOf(option), program);
            out += " -d " + Quoted(Hint(option.description)) + "\n";
        }
        if (!command.operands.empty())
            out +=
                "complete -c kiv-cli" + when + FishArguments(OperandKind(command), program) + "\n";
    }
    return out;
}

}  // namespace kiv
