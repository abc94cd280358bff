#pragma once

#include <memory>
#include <vector>

#include "cli/CliCommand.h"

namespace kiv {

using CommandTable = std::vector<std::unique_ptr<CliCommand>>;

// kiv-cli's commands, in the order its help lists them.
CommandTable KivCliCommands();

}  // namespace kiv
