#pragma once

#include "cli/CliContext.h"
#include "cli/CommandRequest.h"

namespace kiv {

// kiv-cli encrypt-files [-o OUT] FILE...
int RunEncryptFiles(CliContext& context, const CommandRequest& request);
// kiv-cli decrypt-file [-C DIR] FILE.vrq
int RunDecryptFile(CliContext& context, const CommandRequest& request);
// kiv-cli list FILE.vrq
int RunListContainer(CliContext& context, const CommandRequest& request);

}  // namespace kiv
