#include "cli/JsonText.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace kiv {

namespace {

// The length of the valid UTF-8 sequence at bytes[at], or 0.
std::size_t Utf8Length(std::string_view bytes, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return at + i < bytes.size() ? static_cast<std::uint8_t>(bytes[at + i]) : 0;
    };
    const auto tail = [&](std::size_t i) { return (byte(i) & 0xC0) == 0x80; };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return tail(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const std::uint8_t second = byte(1);
        const bool fits = lead == 0xE0   ? second >= 0xA0 && second <= 0xBF
                          : lead == 0xED ? second >= 0x80 && second <= 0x9F  // no surrogates
                                         : tail(1);
        return fits && tail(2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const std::uint8_t second = byte(1);
        const bool fits = lead == 0xF0   ? second >= 0x90 && second <= 0xBF
                          : lead == 0xF4 ? second >= 0x80 && second <= 0x8F
                                         : tail(1);
        return fits && tail(2) && tail(3) ? 4 : 0;
    }
    return 0;
}

std::string Escaped(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "\\u%04x", value);
    return text;
}

}  // namespace

std::string JsonString(std::string_view bytes) {
    std::string out = "\"";
    for (std::size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<std::uint8_t>(bytes[at]);
        const std::size_t length = Utf8Length(bytes, at);
        if (length == 0) {
            out += Escaped(0xDC00 + byte);
            ++at;
            continue;
        }
        if (length > 1) {
            out.append(bytes.substr(at, length));
        } else if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += Escaped(byte);
        } else {
            out += static_cast<char>(byte);
        }
        at += length;
    }
    return out + "\"";
}

std::string Base64(std::string_view bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - at);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[at + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            text += k <= n ? kDigits[group >> (18 - 6 * k) & 63] : '=';
    }
    return text;
}

}  // namespace kiv
