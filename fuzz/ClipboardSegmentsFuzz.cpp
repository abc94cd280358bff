// Fuzz target clipboard_segments: the clipboard actions' segmentation with the real text cores.
// Input: the key as a leading field, then the clipboard text. The text is decrypted segment by
// segment as it is; then encrypted and decrypted again, which must give back every segment.
#include <cstdint>
#include <string_view>
#include <vector>

#include "app/core/ClipboardSegments.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/TextCoreChecks.h"

namespace {

bool IsSeparator(char c) {
    return c == '\t' || c == '\n' || c == '\r';
}

// The separators of a text, in order, with what stands between them left out.
std::string Separators(std::string_view text) {
    std::string found;
    for (const char c : text)
        if (IsSeparator(c)) found += c;
    return found;
}

std::vector<std::string> NonEmptySegments(std::string_view text) {
    std::vector<std::string> segments(1);
    for (const char c : text) {
        if (!IsSeparator(c)) {
            segments.back() += c;
        } else if (!segments.back().empty()) {
            segments.emplace_back();
        }
    }
    if (segments.back().empty()) segments.pop_back();
    return segments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kiv;
    fuzz::FuzzInput input(data, size);
    fuzz::TextCoreChecks cores(input.Field());
    const std::string text = input.Rest();
    const std::vector<std::string> segments = NonEmptySegments(text);

    const auto decrypt = [&](const std::string& s) { return cores.Decrypted(s); };
    const ClipboardSegments::Result decrypted = ClipboardSegments::Decrypt(text, decrypt);
    fuzz::Check(decrypted.pieces.size() == segments.size(), "one piece per non-empty segment");

    if (cores.Verdict() != TextKeyVerdict::Usable) return 0;
    const ClipboardSegments::Result encrypted =
        ClipboardSegments::Encrypt(text, [&](const std::string& s) { return cores.Encrypted(s); });
    fuzz::Check(encrypted.pieces.size() == segments.size(), "one piece per non-empty segment");
    fuzz::Check(Separators(encrypted.text) == Separators(text),
                "the separators stay where they were");
    const ClipboardSegments::Result restored = ClipboardSegments::Decrypt(encrypted.text, decrypt);
    fuzz::Check(restored.pieces.size() == segments.size(), "every segment comes back");
    for (std::size_t i = 0; i < segments.size(); ++i)
        fuzz::Check(restored.pieces[i] == cores.RoundTripOf(segments[i]),
                    "segment " + std::to_string(i) + " decrypts to what was encrypted");
    return 0;
}
