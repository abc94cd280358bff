#include "cipher/TextGeometry.h"

#include <string>

#include "cipher/TextCipher.h"
#include "residue/KeySchedule.h"
#include "runtime/SecretWipe.h"

namespace kiv {

namespace {

// Which fault a block has is the caller's to tell: the messages are not shown.
struct QuietMessages : CipherMessages {
    void ShowMessage(const std::string&) override {}
};

}  // namespace

TextGeometry TextGeometryOf(CipherWorkspace& ws, std::string_view key) {
    if (CheckTextKey(ws, key) != TextKeyVerdict::Usable) return {};
    const std::size_t length = TextBlockLength(key);
    // CheckTextKey left the key's schedule in ws; a block of n moduli is n - 1 pairs.
    const int n = BlockPrimeCount(ws, static_cast<int>(length)) + 3;
    return {length, 2 * static_cast<std::size_t>(n - 1)};
}

std::vector<std::size_t> LeftOutTextBlocks(CipherWorkspace& ws, const CharacterOrder& order,
                                           std::string_view key, const TextGeometry& geometry,
                                           std::string_view text) {
    std::vector<std::size_t> leftOut;
    const std::size_t blocks = geometry.BlocksOf(text.size());
    TextOperands op;
    op.CipherKey = key;
    QuietMessages quiet;
    for (std::size_t k = 0; k < blocks; ++k) {
        op.CipherInput = text.substr(k * geometry.chars, geometry.chars);
        if (!DecryptText(ws, order, op, quiet)) leftOut.push_back(k);
    }
    WipeText(op.CipherKey);
    WipeText(op.CipherOutput);
    return leftOut;
}

}  // namespace kiv
