#pragma once

#include <functional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace kiv {

// What a completion or the manual page needs to know of one option or operand, read from the
// parser's declaration so that the documents say what the parse accepts.
struct OptionDescription {
    std::vector<std::string> names;  // "-o", "--output"; empty for an operand
    std::string value;               // "OUT", "FILE.vrq"; empty for a flag
    std::string description;
    std::vector<std::string> commands;  // the commands that declare it; empty for the program's
    bool repeats = false;               // an operand that takes several words
    bool required = false;
};

struct CommandDescription {
    std::string name;
    std::string synopsis;     // as in the help's usage line, after "kiv-cli "
    std::string description;  // the help's text
    std::string manual;       // the manual page's text, in scdoc; the description when empty
    std::vector<std::string> options;  // every name of each of its options, "-h" and "--help" too
    std::vector<OptionDescription> operands;
};

struct ProgramDescription {
    std::vector<CommandDescription> commands;  // in the order of the help, "help" last
    std::vector<OptionDescription> options;    // each once, in the order commands declare them,
                                               // then the program's own
};

// The shown commands and options of program, the declaration ParseCommandLine parses with;
// manual gives a command's text for the manual page.
ProgramDescription DescribeProgram(const CLI::App& program,
                                   const std::function<std::string(const CLI::App&)>& manual);

// The kind of words an option's value or an operand is completed with, chosen by its value's
// name ("FILE", "DIR", "FILE.vrq") and, for --password-env, by its option.
enum class WordKind { kNone, kFile, kFolder, kContainer, kEnvironment, kCommand, kTopic };
WordKind KindOf(const OptionDescription& option);

}  // namespace kiv
