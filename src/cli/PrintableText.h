#pragma once

#include <string>
#include <string_view>

namespace kiv {

// Bytes as a terminal may safely show them. Names and paths come from containers and command
// lines that others made; written raw, an ESC or a line break in them would steer the terminal
// or fake lines of kiv-cli's own. Backslash becomes "\\", LF, CR and TAB become "\n", "\r" and
// "\t", and every other control byte, DEL, each byte of a C1 control character (U+0080 to
// U+009F) and each byte that is not part of a well-formed UTF-8 character becomes "\xHH". All
// other text, UTF-8 letters included, is kept as it is.
std::string PrintableText(std::string_view bytes);

}  // namespace kiv
