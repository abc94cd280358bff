#pragma once

#include "cli/CliContext.h"
#include "cli/CommandRequest.h"

namespace kiv {

// kiv-cli dde [--service NAME] TOPIC [MACRO]...: opens a conversation with the desktop
// program's command service, executes each macro and prints each answer on its own line.
int RunDdeCommand(CliContext& context, const CommandRequest& request);

}  // namespace kiv
