#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/CommandRequest.h"

namespace kiv {

// The outcome of reading kiv-cli's words: a command to run, a text to print (help, version), or
// why the words are not a kiv-cli command line.
struct ParsedCommandLine {
    std::optional<CommandRequest> request;
    std::string print;       // for standard output, when there is no request
    std::string usageError;  // set on a usage error
};

// kiv-cli's commands, options and operands are declared once, in CommandLine.cpp; the parse and
// the help (kiv-cli --help, kiv-cli COMMAND --help) both come from that declaration. Options may
// stand anywhere among the operands, as "-o OUT", "--output OUT" or "--output=OUT"; each at most
// once; "--" ends the options.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& words);

}  // namespace kiv
