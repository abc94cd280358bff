#pragma once

#include "cli/CliContext.h"
#include "cli/CommandRequest.h"

namespace kiv {

// kiv-cli encrypt-text / decrypt-text: standard input line by line (LF or CR LF), each line as
// the editor treats one, except that a line is always encrypted whole. One result line (LF) per
// input line on standard output; "kiv-cli: line N: ..." failure lines on standard error.
int RunTextCommand(CliContext& context, const CommandRequest& request, bool encrypt);

}  // namespace kiv
