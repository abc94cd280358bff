#pragma once

#include "cli/CliContext.h"

namespace kiv {

// kiv-cli encrypt-text / decrypt-text: standard input line by line (LF or CR LF), each line as
// the editor treats one, except that a line is always encrypted whole. One result line (LF) per
// input line on standard output; messages on standard error.
int RunTextCommand(CliContext& context, bool encrypt);

extern const char kTextCommandHelp[];

}  // namespace kiv
