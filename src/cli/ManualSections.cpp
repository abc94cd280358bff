#include "cli/ManualSections.h"

#include <cctype>
#include <sstream>

namespace kiv {

namespace {

// One word of a usage line in the manual's markup: options and commands bold, values
// underlined, the brackets, bars and "..." around them as they are.
std::string UsageWord(std::string word, bool first) {
    std::string before, after;
    while (!word.empty() && word.front() == '[') {
        before += '[';
        word.erase(0, 1);
    }
    for (bool more = true; more;) {
        more = false;
        if (word.size() > 3 && word.ends_with("...")) {
            after.insert(0, "...");
            word.resize(word.size() - 3);
            more = true;
        }
        if (!word.empty() && word.back() == ']') {
            after.insert(0, "]");
            word.pop_back();
            more = true;
        }
    }
    if (word.empty() || word == "|") return before + word + after;
    const bool value = std::isupper(static_cast<unsigned char>(word.front())) != 0;
    const char mark = value && !first ? '_' : '*';
    return before + mark + ScdocText(word) + mark + after;
}

std::string UsageLine(const std::string& usage) {
    std::istringstream words(usage);
    std::string out, word;
    while (words >> word) {
        out += (out.empty() ? "" : " ") + UsageWord(word, out.empty());
    }
    return out;
}

// An option's help text as a sentence of the manual.
std::string Sentence(std::string text) {
    if (!text.empty()) text.front() = static_cast<char>(std::toupper(text.front()));
    if (!text.empty() && text.back() != '.') text += '.';
    return ScdocText(text);
}

std::string Indented(const std::string& text) {
    std::istringstream lines(text);
    std::string out, line;
    while (std::getline(lines, line))
        out += line.empty() ? "\n" : "\t" + line + "\n";
    return out;
}

}  // namespace

std::string ScdocText(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == '*' || c == '_') out += '\\';
        out += c;
    }
    return out;
}

std::string ManualSections(const ProgramDescription& program) {
    std::string synopsis = "%%SYNOPSIS%%\n# SYNOPSIS\n\n";
    std::string commands = "%%COMMANDS%%\n# COMMANDS\n\n";
    for (const CommandDescription& command : program.commands) {
        if (command.name != "help") synopsis += "*kiv-cli* " + UsageLine(command.synopsis) + "\n\n";
        commands +=
            UsageLine(command.synopsis) + "\n" +
            Indented(command.manual.empty() ? ScdocText(command.description) : command.manual) +
            "\n";
    }
    std::string own;
    for (const OptionDescription& option : program.options)
        if (option.commands.empty())
            for (const std::string& name : option.names)
                own += "*" + name + "* | ";
    synopsis += "*kiv-cli* " + own + "*help* [_COMMAND_]\n\n";

    std::string options = "%%OPTIONS%%\n# OPTIONS\n\n";
    for (const OptionDescription& option : program.options) {
        std::string names;
        for (const std::string& name : option.names)
            names += (names.empty() ? "*" : ", *") + name + "*";
        if (!option.value.empty()) names += " _" + ScdocText(option.value) + "_";
        std::string used;
        for (const std::string& command : option.commands)
            used += (used.empty() ? "*" : ", *") + command + "*";
        options += names + "\n\t" + (used.empty() ? "" : used + ": ") +
                   (used.empty() ? Sentence(option.description) : ScdocText(option.description)) +
                   "\n\n";
    }
    return synopsis + commands + options;
}

}  // namespace kiv
