#include "cipher/TextCipher.h"

#include <cstring>

#include "cipher/KeySchedule.h"
#include "cipher/ResidueDecoding.h"
#include "cipher/ResidueEncoding.h"
#include "numeric/NumericServices.h"

namespace kiv {

namespace {

// The key as the text cores use it: up to its first NUL, cut to 17 bytes. Cutting before the
// schedule keeps the bytes past the 17th out of the block number.
std::string_view TextKey(std::string_view key) {
    const std::size_t nul = key.find('\0');
    if (nul != std::string_view::npos) key = key.substr(0, nul);
    if (key.size() > static_cast<std::size_t>(kTextKeyLimit)) key = key.substr(0, kTextKeyLimit);
    return key;
}

// Runs the key schedule for a usable key and returns n, the moduli count of a block; 0 when the
// key is too short.
int TextSchedule(CipherWorkspace& ws, std::string_view key) {
    if (key.size() < static_cast<std::size_t>(kShortestKey)) return 0;
    CopyText(ws.KeyText, key.data(), key.size());
    GeneratePrimes(ws, kTextPrimeCount, 0);
    DerivePasswordPermutation(ws, kTextPrimeCount);
    return BlockPrimeCount(ws, static_cast<int>(key.size())) + 3;
}

}  // namespace

TextKeyVerdict CheckTextKey(CipherWorkspace& ws, std::string_view key) {
    const int n = TextSchedule(ws, TextKey(key));
    if (n == 0) return TextKeyVerdict::TooShort;
    return ModuliDistinct(ws, 2, n) ? TextKeyVerdict::Usable : TextKeyVerdict::RepeatedModuli;
}

TextKeyVerdict EncryptText(CipherWorkspace& ws, const CharacterOrder& order, TextOperands& op) {
    op.TimeOfDay = TimeOfDayFraction(*ws.clock);
    op.TimeStamp = TimeStampOf(op.TimeOfDay);

    const std::string_view key = TextKey(op.CipherKey);
    const int n = TextSchedule(ws, key);
    if (n == 0) return TextKeyVerdict::TooShort;
    if (!ModuliDistinct(ws, 2, n)) return TextKeyVerdict::RepeatedModuli;

    const std::size_t blockLength = key.size();
    const std::string& input = op.CipherInput;
    const std::size_t blocks = (input.size() + blockLength - 1) / blockLength;
    std::string output;
    output.reserve(blocks * 2 * static_cast<std::size_t>(n - 1));
    for (std::size_t start = 0; start < input.size(); start += blockLength) {
        for (std::size_t j = 0; j < blockLength; ++j) {
            const std::size_t at = start + j;
            ws.BlockValues[j + 1] = at < input.size() ? static_cast<std::uint8_t>(input[at]) : 32;
        }
        ComputeResidues(ws, 256, n);
        AddNoise(ws, n, op.TimeStamp);
        for (int i = 2; i <= n; ++i) {
            output.push_back(static_cast<char>(order.CharOrder[ws.NoiseDigits[2 * (i - 1)]]));
            output.push_back(static_cast<char>(order.CharOrder[ws.NoiseDigits[2 * (i - 1) + 1]]));
        }
    }
    op.CipherOutput = std::move(output);
    return TextKeyVerdict::Usable;
}

bool DecryptText(CipherWorkspace& ws, const CharacterOrder& order, TextOperands& op,
                 CipherMessages& messages) {
    const std::string& input = op.CipherInput;
    const std::size_t length = input.size();
    if (length == 0) {
        op.CipherOutput = input;
        return true;
    }
    const std::string_view key = TextKey(op.CipherKey);
    const int n = TextSchedule(ws, key);
    if (n == 0) return false;
    const int blockLength = static_cast<int>(key.size());
    BuildWeightTable(ws, n + 1);

    const std::size_t pairs = length / 2;
    const std::size_t perBlock = static_cast<std::size_t>(n - 1);
    const std::size_t blocks = (pairs + perBlock - 1) / perBlock;
    std::string plain;
    plain.reserve(blocks * static_cast<std::size_t>(blockLength));
    bool lastFailed = false;
    std::size_t at = 0;
    for (std::size_t k = 0; k < blocks; ++k) {
        bool shown = false;
        bool cut = false;
        auto report = [&](const char* text) {
            if (shown) return;
            messages.ShowMessage(text);
            shown = true;
        };
        for (int i = 2; i <= n && !cut; ++i) {
            // The first missing character of a cut last block counts as a foreign one.
            if (at >= length) {
                report(kMessageChangedOne);
                cut = true;
                break;
            }
            const int low = order.CharIndex[static_cast<std::uint8_t>(input[at++])];
            if (low > 61) report(kMessageChangedOne);
            if (at >= length) {
                report(kMessageChangedTwo);
                cut = true;
                break;
            }
            const int high = order.CharIndex[static_cast<std::uint8_t>(input[at++])];
            if (high > 61) report(kMessageChangedTwo);
            ws.Residues[i] = high * 61 + low;
        }
        if (cut) {
            lastFailed = true;
            continue;
        }
        ws.ZeroDigitCount = 0;
        ReduceResidues(ws, n + 1);
        ResiduesToMixedRadix(ws, n + 1);
        MixedRadixToBytes(ws, 256, n, blockLength);
        lastFailed = ws.ZeroDigitCount < 3;
        if (lastFailed) continue;
        for (int m = 2; m <= blockLength + 1; ++m)
            plain.push_back(static_cast<char>(ws.ByteDigits[m] & 0xFF));
    }
    const std::size_t nul = plain.find('\0');
    if (nul != std::string::npos) plain.resize(nul);
    if (lastFailed || length <= static_cast<std::size_t>(blockLength)) {
        op.CipherOutput = input;
        return false;
    }
    op.CipherOutput = std::move(plain);
    return true;
}

}  // namespace kiv
