#include "filecrypt/PrintableName.h"

#include <cstdint>

namespace kiv {

namespace {

void AppendHex(std::string& out, std::uint8_t byte) {
    constexpr char kDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xf];
}

// Characters that move or reorder what follows them on the screen.
bool Steers(char32_t point) {
    return point <= 0x9f || point == 0x2028 || point == 0x2029 ||
           (point >= 0x202a && point <= 0x202e) || (point >= 0x2066 && point <= 0x2069);
}

// The length of the well-formed UTF-8 character starting at at, or 0 when the bytes there are not
// one or the character steers the display.
std::size_t ShownUtf8Length(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<std::uint8_t>(bytes[at]);
    std::size_t length = 0;
    char32_t point = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        point = lead & 0x1f;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        point = lead & 0x0f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        point = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() - at < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(bytes[at + i]);
        if ((next & 0xc0) != 0x80) return 0;
        point = (point << 6) | (next & 0x3f);
    }
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < kLeast[length] || point > 0x10ffff) return 0;  // overlong or beyond Unicode
    if (point >= 0xd800 && point <= 0xdfff) return 0;          // surrogates
    return Steers(point) ? 0 : length;
}

}  // namespace

std::string PrintableName(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<std::uint8_t>(bytes[i]);
        if (byte >= 0x80) {
            const std::size_t length = ShownUtf8Length(bytes, i);
            if (length == 0) {
                // Every byte of a refused character is escaped, so none of it reaches the screen.
                std::size_t end = i + 1;
                while (end < bytes.size() && end < i + 4 &&
                       (static_cast<std::uint8_t>(bytes[end]) & 0xc0) == 0x80 && byte >= 0xc2)
                    ++end;
                for (; i < end; ++i)
                    AppendHex(out, static_cast<std::uint8_t>(bytes[i]));
            } else {
                out.append(bytes.substr(i, length));
                i += length;
            }
            continue;
        }
        switch (byte) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20 || byte == 0x7f)
                    AppendHex(out, byte);
                else
                    out += static_cast<char>(byte);
        }
        ++i;
    }
    return out;
}

}  // namespace kiv
