#pragma once

#include <string>
#include <string_view>

namespace kiv {

// Bytes as a report may safely show them. Stored names come from containers that others made;
// shown raw, an ESC or a line break in one would steer a terminal or fake lines of the report.
// Backslash becomes "\\"; LF, CR and TAB become "\n", "\r" and "\t"; every other control byte,
// DEL, each byte of a C1 control (U+0080 to U+009F), of a line or paragraph separator (U+2028,
// U+2029) or of a bidirectional override or isolate (U+202A to U+202E, U+2066 to U+2069), and
// each byte that is not part of a well-formed UTF-8 character becomes "\xHH". All other text,
// UTF-8 letters included, is kept. The file itself keeps its real name; only its display changes.
std::string PrintableName(std::string_view bytes);

}  // namespace kiv
