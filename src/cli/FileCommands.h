#pragma once

#include "cli/CliContext.h"

namespace kiv {

// kiv-cli encrypt-files [-o OUT] FILE...
int RunEncryptFiles(CliContext& context);
// kiv-cli decrypt-file [-C DIR] FILE.vrq
int RunDecryptFile(CliContext& context);
// kiv-cli list FILE.vrq
int RunListContainer(CliContext& context);

extern const char kFileCommandsHelp[];

}  // namespace kiv
