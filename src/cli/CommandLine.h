#pragma once

#include <string>
#include <vector>

#include "cli/CommandTable.h"

namespace kiv {

// The outcome of reading kiv-cli's words: a command to run, a text to print (help, version), or
// why the words are not a kiv-cli command line.
struct ParsedCommandLine {
    CliCommand* command = nullptr;  // one of the table's, its options filled in
    std::string print;              // for standard output, when there is no command
    std::string usageError;         // set on a usage error
    std::string usageCommand;       // the command the words named, for the usage error's hint
};

// Parses words against the commands' declarations; the parse and the help (kiv-cli --help,
// kiv-cli COMMAND --help, kiv-cli help COMMAND) both come from them. Options may stand anywhere
// among the operands, as "-o OUT", "--output OUT" or "--output=OUT"; given twice, the last one
// counts, so that a wrapper's default can be overridden; "--" ends the options. -v and -q before
// the command are the command's (and mean nothing to a command without them).
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& words,
                                   const CommandTable& commands);

}  // namespace kiv
