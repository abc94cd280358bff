#pragma once

#include "cli/CliContext.h"
#include "cli/PasswordOptions.h"

namespace kiv {

// What encrypt-text and decrypt-text run: standard input line by line (LF or CR LF), each line
// as the editor treats one, except that a line is encrypted whole, up to 64 MiB (decrypt-text
// takes the cipher text of such a line). One result line (LF) per input line on standard output,
// an empty one for a longer line. Nothing is lost unsaid: a line too long, a line handed back and
// every block left out of a decrypted line get a "kiv-cli: line N: ..." line on standard error
// and exit status 1 (the window's editor leaves such blocks out silently). Returns the status.
int RunTextLines(CliContext& context, const PasswordOptions& password, bool encrypt);

}  // namespace kiv
