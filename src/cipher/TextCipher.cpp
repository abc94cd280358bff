#include "cipher/TextCipher.h"

#include <cstring>
#include <vector>

#include "cipher/internal/TextBlockCodec.h"
#include "numeric/NumericServices.h"
#include "residue/KeySchedule.h"
#include "residue/ResidueDecoding.h"
#include "residue/ResidueEncoding.h"
#include "runtime/SecretWipe.h"

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

// The workspace's codec for key, built (with the key schedule) when the key has changed;
// nullptr for the literal steps and for keys that have no codec.
TextBlockCodec* CodecFor(CipherWorkspace& ws, const CharacterOrder& order, std::string_view key,
                         TextCoding coding) {
    if (coding.IsLiteral()) return nullptr;
    TextBlockCodec* const kept = TextBlockCodec::Kept(ws);
    if (kept && kept->Serves(key, order, coding.Set())) return kept;
    ws.textCodec.codec.reset();
    const int n = TextSchedule(ws, key);
    if (n == 0) return nullptr;
    std::shared_ptr<TextBlockCodec> codec = TextBlockCodec::Create(ws, key, n, order, coding.Set());
    ws.textCodec.codec = codec;
    return codec.get();
}

// The codec's noise tables take chain entries of 0..61, which is all AddNoise ever writes, and
// a stamp of a time of day.
bool CodecNoiseFits(const CipherWorkspace& ws, const TextBlockCodec& codec, std::int32_t stamp) {
    if (stamp < 0 || stamp > 999999999) return false;
    const int last = codec.BlockChars() / 2 + 2;
    for (int i = 2; i <= last; ++i)
        if (ws.NoiseChain[i] < 0 || ws.NoiseChain[i] > 61) return false;
    return true;
}

// Blocks a long text is decoded by at a time.
constexpr std::size_t kLongTextBlocks = std::size_t{1} << 16;

// Decodes one text a run of blocks at a time, with what the codec gives it whole: the accepted
// blocks' bytes up to the first NUL, and the verdict of its last block.
TextBlockCodec::Verdict DecryptLongText(TextBlockCodec& codec, std::string_view text,
                                        CipherMessages& messages, std::string& plain) {
    const std::size_t run = kLongTextBlocks * static_cast<std::size_t>(codec.BlockChars());
    plain.clear();
    // Room for every block, so that the plain text is never copied as it grows.
    plain.reserve(text.size() / static_cast<std::size_t>(codec.BlockChars()) *
                  static_cast<std::size_t>(codec.BlockLength()));
    TextBlockCodec::Verdict verdict;
    std::string part;
    bool ended = false;  // a NUL was met: nothing after it belongs to the decryption
    for (std::size_t at = 0; at < text.size(); at += run) {
        const std::string_view piece = text.substr(at, run);
        codec.Decrypt(&piece, 1, messages, &part, &verdict);
        if (!ended) plain += part;
        ended = ended || verdict.cutAtNul;
    }
    WipeText(part);
    return verdict;
}

}  // namespace

std::size_t TextBlockLength(std::string_view key) {
    return TextKey(key).size();
}

TextKeyVerdict CheckTextKey(CipherWorkspace& ws, std::string_view key) {
    const int n = TextSchedule(ws, TextKey(key));
    if (n == 0) return TextKeyVerdict::TooShort;
    return ModuliDistinct(ws, 2, n) ? TextKeyVerdict::Usable : TextKeyVerdict::RepeatedModuli;
}

TextKeyVerdict EncryptText(CipherWorkspace& ws, const CharacterOrder& order, TextOperands& op,
                           TextCoding coding) {
    op.TimeOfDay = TimeOfDayFraction(*ws.clock);
    op.TimeStamp = TimeStampOf(op.TimeOfDay);

    const std::string_view key = TextKey(op.CipherKey);
    if (key.size() < static_cast<std::size_t>(kShortestKey)) return TextKeyVerdict::TooShort;
    if (TextBlockCodec* codec = CodecFor(ws, order, key, coding)) {
        if (CodecNoiseFits(ws, *codec, op.TimeStamp)) {
            op.CipherOutput.clear();
            codec->Encrypt(op.CipherInput, op.TimeStamp, ws, op.CipherOutput);
            return TextKeyVerdict::Usable;
        }
    }

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

TextKeyVerdict EncryptTexts(CipherWorkspace& ws, const CharacterOrder& order, std::string_view key,
                            const std::string_view* inputs, std::size_t count,
                            std::string_view after, std::string& out, TextCoding coding) {
    key = TextKey(key);
    if (key.size() < static_cast<std::size_t>(kShortestKey)) return TextKeyVerdict::TooShort;
    TextBlockCodec* const codec = CodecFor(ws, order, key, coding);
    if (codec == nullptr) {
        const TextKeyVerdict verdict = CheckTextKey(ws, key);
        if (verdict != TextKeyVerdict::Usable) return verdict;
    }
    for (std::size_t t = 0; t < count;) {
        const std::int32_t stamp = TimeStampOf(TimeOfDayFraction(*ws.clock));
        if (codec == nullptr || !CodecNoiseFits(ws, *codec, stamp)) {
            TextOperands op;
            op.CipherKey = key;
            op.CipherInput = inputs[t++];
            EncryptText(ws, order, op, TextCoding::Literal);
            out += op.CipherOutput;
            out += after;
            continue;
        }
        // The texts of about one run of the codec's blocks share this reading of the clock.
        std::size_t end = t, blocks = 0;
        do {
            blocks += codec->BlocksOf(inputs[end++].size());
        } while (end < count && blocks < TextBlockCodec::kClockBlocks);
        codec->Encrypt(inputs + t, end - t, after, stamp, ws, out);
        t = end;
    }
    return TextKeyVerdict::Usable;
}

void DecryptTexts(CipherWorkspace& ws, const CharacterOrder& order, std::string_view key,
                  const std::string_view* inputs, std::size_t count, std::string* outputs,
                  bool* decrypted, CipherMessages& messages, TextCoding coding) {
    key = TextKey(key);
    TextBlockCodec* codec = nullptr;
    if (key.size() >= static_cast<std::size_t>(kShortestKey))
        codec = CodecFor(ws, order, key, coding);
    if (codec == nullptr) {
        TextOperands op;
        op.CipherKey = key;
        for (std::size_t t = 0; t < count; ++t) {
            op.CipherInput = inputs[t];
            op.CipherOutput = outputs[t];
            decrypted[t] = DecryptText(ws, order, op, messages, TextCoding::Literal);
            outputs[t] = std::move(op.CipherOutput);
        }
        return;
    }
    TextBlockCodec::Verdict one;
    std::vector<TextBlockCodec::Verdict> many(count == 1 ? 0 : count);
    TextBlockCodec::Verdict* verdicts = count == 1 ? &one : many.data();
    // Short texts side by side, long ones a run of blocks at a time; messages stay in order.
    const std::size_t longText = kLongTextBlocks * static_cast<std::size_t>(codec->BlockChars());
    for (std::size_t t = 0; t < count;) {
        if (inputs[t].size() > longText) {
            verdicts[t] = DecryptLongText(*codec, inputs[t], messages, outputs[t]);
            ++t;
            continue;
        }
        std::size_t end = t + 1;
        while (end < count && inputs[end].size() <= longText)
            ++end;
        codec->Decrypt(inputs + t, end - t, messages, outputs + t, verdicts + t);
        t = end;
    }
    for (std::size_t t = 0; t < count; ++t) {
        // An empty text decrypts to itself; a failed last block or a text no longer than the
        // key hands the cipher text back.
        const std::size_t length = inputs[t].size();
        decrypted[t] = length == 0 || (!verdicts[t].lastFailed && length > key.size());
        if (!decrypted[t] || length == 0) outputs[t].assign(inputs[t]);
    }
}

bool DecryptText(CipherWorkspace& ws, const CharacterOrder& order, TextOperands& op,
                 CipherMessages& messages, TextCoding coding) {
    const std::string& input = op.CipherInput;
    const std::size_t length = input.size();
    if (length == 0) {
        op.CipherOutput = input;
        return true;
    }
    const std::string_view key = TextKey(op.CipherKey);
    if (!coding.IsLiteral()) {
        const std::string_view text = input;
        bool decrypted = false;
        DecryptTexts(ws, order, key, &text, 1, &op.CipherOutput, &decrypted, messages, coding);
        return decrypted;
    }
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
                report(WindowText(Message::MessageChangedOne));
                cut = true;
                break;
            }
            const int low = order.CharIndex[static_cast<std::uint8_t>(input[at++])];
            if (low > 61) report(WindowText(Message::MessageChangedOne));
            if (at >= length) {
                report(WindowText(Message::MessageChangedTwo));
                cut = true;
                break;
            }
            const int high = order.CharIndex[static_cast<std::uint8_t>(input[at++])];
            if (high > 61) report(WindowText(Message::MessageChangedTwo));
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
