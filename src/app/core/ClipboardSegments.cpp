#include "app/core/ClipboardSegments.h"

namespace kiv {

namespace {

bool IsDelimiter(char c) {
    return c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

ClipboardSegments::Result ClipboardSegments::ConvertSegments(std::string_view text,
                                                             const Convert& convert) {
    Result result;
    std::size_t start = 0;
    for (std::size_t j = 0; j <= text.size(); ++j) {
        if (j < text.size() && !IsDelimiter(text[j])) continue;
        if (j > start) {
            result.pieces.push_back(convert(std::string(text.substr(start, j - start))));
            result.text += result.pieces.back();
        }
        if (j < text.size()) result.text += text[j];
        start = j + 1;
    }
    return result;
}

ClipboardSegments::Result ClipboardSegments::Encrypt(std::string_view text,
                                                     const Convert& encrypt) {
    return ConvertSegments(text, encrypt);
}

ClipboardSegments::Result ClipboardSegments::Decrypt(std::string_view text,
                                                     const Convert& decrypt) {
    return ConvertSegments(text, [&](const std::string& segment) {
        if (segment.size() % 2 == 0) return decrypt(segment);
        const std::string even = segment.substr(0, segment.size() - 1);
        return (even.empty() ? std::string() : decrypt(even)) + segment.back();
    });
}

}  // namespace kiv
