#pragma once

#include <optional>
#include <string>

#include "cli/CliContext.h"
#include "cli/CommandRequest.h"
#include "runtime/SecretText.h"

namespace kiv {

// Reads the password named by --password-file / --password-fd (or asks on the terminal, twice
// when confirm is set). On failure writes a "kiv-cli: " line with the reason to standard error
// and sets status. The password is wiped when the result goes.
std::optional<SecretText> CommandPassword(CliContext& context, const CommandRequest& request,
                                          bool confirm, int& status);

}  // namespace kiv
