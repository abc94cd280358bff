#pragma once

#include <string>
#include <vector>

#include "cli/CliContext.h"

namespace kiv {

// kiv-cli's entry: words are its arguments (without the program's name); the first names the
// command. Returns the exit status.
int RunKivCli(const std::vector<std::string>& words, CliContext& context);

}  // namespace kiv
