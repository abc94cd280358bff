#include "cli/PrintableText.h"

#include <cstdint>

namespace kiv {

namespace {

void AppendHex(std::string& out, std::uint8_t byte) {
    constexpr char kDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xf];
}

// The length of the well-formed UTF-8 character of a printable code point starting at at, or 0.
std::size_t PrintableUtf8Length(std::string_view bytes, std::size_t at) {
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
    if (point <= 0x9f) return 0;                               // C1 controls
    return length;
}

}  // namespace

std::string PrintableText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<std::uint8_t>(bytes[i]);
        if (byte >= 0x80) {
            if (const std::size_t length = PrintableUtf8Length(bytes, i)) {
                out.append(bytes.substr(i, length));
                i += length;
            } else {
                AppendHex(out, byte);
                ++i;
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
