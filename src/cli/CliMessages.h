#pragma once

#include <initializer_list>
#include <string>

#include "cli/CliContext.h"

namespace kiv {

// kiv-cli's own lines for what the engine does not word, each with the exit status it ends a
// run with (0: the run goes on, or succeeds, after it). %1, %2, ... are filled in order.
struct CliMessage {
    const char* text;
    int status;
};

namespace cli_message {

// A restore wrote a file stored in parts as its parts.
inline constexpr CliMessage kJoinParts = {
    "kiv-cli: '%1' was stored in %2 parts, restored as its parts; join them: %3", kExitOk};

// decrypt-file --entry NAME: no container given holds a file of that name.
inline constexpr CliMessage kNotStored = {"kiv-cli: no stored file is named '%1'", kExitFailed};

}  // namespace cli_message

// message's text with %1, %2, ... replaced by the fills, in order.
std::string Filled(const CliMessage& message, std::initializer_list<std::string> fills);

}  // namespace kiv
