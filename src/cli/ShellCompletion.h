#pragma once

#include <string>

#include "cli/CommandDescription.h"

namespace kiv {

// Completion scripts for bash, zsh and fish, written from the declared commands so that a new
// command or option is completed without a hand-kept copy. Each offers the commands, then a
// command's options and, by what they name, their values and its operands: files, folders,
// encrypted files (.vrq), environment variables, the command service's topic. After "--" only
// operands are offered.
std::string BashCompletion(const ProgramDescription& program);
std::string ZshCompletion(const ProgramDescription& program);
std::string FishCompletion(const ProgramDescription& program);

}  // namespace kiv
