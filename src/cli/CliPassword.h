#pragma once

#include <optional>
#include <string>

#include "cli/CliArguments.h"
#include "cli/CliContext.h"

namespace kiv {

// Reads the password named by --password-file / --password-fd (or asks on the terminal, twice
// when confirm is set). On failure writes the reason to standard error and sets status.
// mismatchText is what the command prints when the two terminal entries differ.
std::optional<std::string> CommandPassword(CliContext& context, const CliArguments& arguments,
                                           bool confirm, const char* mismatchText, int& status);

}  // namespace kiv
