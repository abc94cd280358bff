#pragma once

#include "cli/CliContext.h"

namespace kiv {

// kiv-cli's entry: the first word names the command, the rest go to it.
int RunKivCli(const std::vector<std::string>& words, CliContext& context);

}  // namespace kiv
