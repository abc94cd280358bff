#include "cipher/internal/TextBlockCodec.h"

#include <algorithm>
#include <cstring>

#include "numeric/RandomGenerator.h"
#include "residue/KernelRegistry.h"
#include "runtime/SecretWipe.h"

namespace kiv {

namespace {

constexpr char kSpaces[32] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                              ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                              ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
static_assert(sizeof kSpaces >= TextBlockTables::kMaxBlock);

}  // namespace

std::unique_ptr<TextBlockCodec> TextBlockCodec::Create(const CipherWorkspace& ws,
                                                       std::string_view key, int n,
                                                       const CharacterOrder& order,
                                                       InstructionSet set) {
    const int count = n - 1;
    if (count < 1 || count > TextBlockTables::kMaxModuli || key.empty() ||
        key.size() > static_cast<std::size_t>(TextBlockTables::kMaxBlock))
        return nullptr;
    for (int i = 2; i <= n; ++i) {
        const std::int32_t m = ws.Moduli[i];
        if (m < 1 || m > TextBlockTables::kLargestModulus) return nullptr;
        for (int j = 2; j < i; ++j)
            if (ws.Moduli[j] == m) return nullptr;
    }
    // Distinct values of 1 and the primes are pairwise coprime, which Garner's inverses need;
    // anything else keeps the workspace operations.
    for (int i = 2; i <= n; ++i) {
        for (int d = 2; d * d <= ws.Moduli[i]; ++d)
            if (ws.Moduli[i] % d == 0) return nullptr;
    }
    return std::unique_ptr<TextBlockCodec>(
        new TextBlockCodec(&ws.Moduli[2], count, key, order, set));
}

TextBlockCodec::TextBlockCodec(const std::int32_t* moduli, int count, std::string_view key,
                               const CharacterOrder& order, InstructionSet set)
    : tables_(moduli, count, static_cast<int>(key.size()), order.CharOrder, order.CharIndex),
      blockLength_(key.size()),
      blockMagic_(~std::uint64_t{0} / key.size() + 1),
      key_(key),
      order_(order),
      asked_(set),
      kernel_(&KernelRegistry::For(set, tables_)),
      residues_(kClockBlocks * 32),
      padded_(kClockBlocks * key.size() + 32, ' ') {}

bool TextBlockCodec::Serves(std::string_view key, const CharacterOrder& order,
                            InstructionSet set) const {
    return set == asked_ && key == key_ &&
           std::memcmp(&order, &order_, sizeof(CharacterOrder)) == 0;
}

void TextBlockCodec::PrepareNoise(std::int32_t seed, std::int32_t stamp) {
    if (noiseReady_ && seed == noiseSeed_ && stamp == noiseStamp_) return;
    SeedGenerator(drawn_, static_cast<std::uint32_t>(seed));
    for (int k = 0; k < tables_.residues; ++k) {
        const std::int32_t r = RandomBelow(drawn_, 213);
        noise_.base[k] = static_cast<std::uint16_t>((r + 7 + stamp) % 71);
    }
    noise_.Reset();
    noiseSeed_ = seed;
    noiseStamp_ = stamp;
    noiseReady_ = true;
}

TextBlockCodec::~TextBlockCodec() {
    WipeText(key_);
    WipeText(padded_);
    WipeBytes(residues_.data(), residues_.size());
    WipeBytes(values_.data(), values_.size() * sizeof(values_[0]));
    WipeBytes(bytes_.data(), bytes_.size());
}

void TextBlockCodec::Encrypt(std::string_view text, std::int32_t stamp, CipherWorkspace& ws,
                             std::string& out) {
    Encrypt(&text, 1, {}, stamp, ws, out);
}

void TextBlockCodec::Encrypt(const std::string_view* texts, std::size_t count,
                             std::string_view after, std::int32_t stamp, CipherWorkspace& ws,
                             std::string& out) {
    const auto length = static_cast<std::size_t>(tables_.blockLength);
    const int moduli = tables_.residues;
    const auto chars = static_cast<std::size_t>(2 * moduli);
    std::size_t size = 0;
    for (std::size_t t = 0; t < count; ++t)
        size += BlocksOf(texts[t].size()) * chars + after.size();
    if (size == 0) return;
    const std::size_t begin = out.size();
    out.resize(begin + size + 64);  // the vector code's stores reach past the last block

    // chain[k] is NoiseChain[k + 2]; chain[n - 1], the entry after the block's last modulus,
    // only ever feeds the noise here.
    std::array<std::uint32_t, TextBlockTables::kMaxModuli + 1> chain{};
    for (int k = 0; k <= moduli; ++k)
        chain[k] = static_cast<std::uint32_t>(ws.NoiseChain[k + 2]);
    at_.resize(kClockBlocks);
    bool drawn = false;

    std::size_t t = 0, from = 0;  // the next text and its next byte
    std::size_t pos = begin;      // where the next characters go
    while (t < count) {
        // A run of up to kClockBlocks blocks, the last one of each text filled up with spaces,
        // and room for 32-byte loads after them.
        const std::size_t runBegin = pos;
        std::size_t blocks = 0;
        ends_.clear();
        while (t < count && blocks < kClockBlocks) {
            const std::string_view text = texts[t];
            const std::size_t take = std::min(BlocksOf(text.size() - from), kClockBlocks - blocks);
            const std::size_t taken = std::min(text.size() - from, take * length);
            char* to = padded_.data() + blocks * length;
            // An empty view may have no data at all, which memcpy must not be handed.
            if (taken > 0) std::memcpy(to, text.data() + from, taken);
            // Fewer than L <= 32 spaces fill up the last block; a fixed-size copy of 32 costs
            // less than a call for them, and the next text's bytes overwrite the rest.
            if (taken < take * length) std::memcpy(to + taken, kSpaces, sizeof kSpaces);
            std::uint32_t* const at = at_.data() + blocks;
            for (std::size_t b = 0; b < take; ++b)
                at[b] = static_cast<std::uint32_t>(pos - runBegin + b * chars);
            pos += take * chars;
            blocks += take;
            from += take * length;
            if (from < text.size()) break;
            ends_.push_back(pos);
            pos += after.size();
            ++t;
            from = 0;
        }
        if (blocks > 0) {
            std::memset(padded_.data() + blocks * length, ' ', 32);
            kernel_->textResidues(tables_, reinterpret_cast<const std::uint8_t*>(padded_.data()),
                                  blocks, residues_.data());
            // Every block reseeds the generator from the clock's seconds, so the blocks of one
            // second draw the same values, and their noise depends only on the chain value.
            PrepareNoise(ws.clock->ClockSeconds(), stamp);
            drawn = true;
            kernel_->textNoise(tables_, noise_, residues_.data(), blocks, chain.data(),
                               out.data() + runBegin, at_.data());
        }
        // After the characters, whose stores reach past their blocks.
        if (after.size() == 1) {
            for (const std::size_t end : ends_)
                out[end] = after[0];
        } else if (!after.empty()) {
            for (const std::size_t end : ends_)
                std::memcpy(out.data() + end, after.data(), after.size());
        }
    }
    out.resize(begin + size);
    for (int k = 0; k < moduli; ++k)
        ws.NoiseChain[k + 2] = static_cast<std::int32_t>(chain[k]);
    // The generator as the last block's draws leave it.
    if (drawn) ws.random = drawn_;
}

void TextBlockCodec::ShowMessages(std::string_view text, std::size_t readChars, bool cut,
                                  CipherMessages& messages) const {
    const auto blockChars = static_cast<std::size_t>(BlockChars());
    std::size_t shownBlock = SIZE_MAX;
    for (std::size_t at = 0; at < readChars; ++at) {
        if (order_.CharIndex[static_cast<std::uint8_t>(text[at])] <= 61) continue;
        const std::size_t block = at / blockChars;
        if (block == shownBlock) continue;
        messages.ShowMessage(at % 2 == 0 ? WindowText(Message::MessageChangedOne)
                                         : WindowText(Message::MessageChangedTwo));
        shownBlock = block;
    }
    // The first missing character of a cut block counts as a foreign one.
    if (cut && shownBlock != readChars / blockChars)
        messages.ShowMessage(readChars % 2 == 0 ? WindowText(Message::MessageChangedOne)
                                                : WindowText(Message::MessageChangedTwo));
}

void TextBlockCodec::Decrypt(const std::string_view* texts, std::size_t count,
                             CipherMessages& messages, std::string* plain, Verdict* verdicts) {
    const auto moduli = static_cast<std::size_t>(tables_.residues);
    const auto blockChars = 2 * moduli;
    const auto length = static_cast<std::size_t>(tables_.blockLength);

    firstBlock_.resize(count + 1);
    std::size_t total = 0;
    for (std::size_t t = 0; t < count; ++t) {
        firstBlock_[t] = total;
        total += texts[t].size() / blockChars;
    }
    firstBlock_[count] = total;
    // Spare values for the vector kernels' 16-byte loads of rows.
    values_.resize(total * moduli + 8);
    for (std::size_t t = 0; t < count; ++t) {
        const std::string_view text = texts[t];
        const std::size_t full = firstBlock_[t + 1] - firstBlock_[t];
        // A cut last block: pairs remain after the whole blocks.
        const bool cut = text.size() / 2 > full * moduli;
        const std::size_t readChars = cut ? text.size() : full * blockChars;
        const bool clean = kernel_->pairValues(tables_, text.data(), full * moduli,
                                               &values_[firstBlock_[t] * moduli]);
        bool tailClean = true;
        for (std::size_t at = full * blockChars; at < readChars; ++at)
            if (order_.CharIndex[static_cast<std::uint8_t>(text[at])] > 61) tailClean = false;
        if (!clean || !tailClean || cut) ShowMessages(text, readChars, cut, messages);
        verdicts[t].lastFailed = cut;
    }

    bytes_.resize(total * length + 32);
    zeros_.resize(total);
    kernel_->textDecode(tables_, values_.data(), total, bytes_.data(), zeros_.data());

    const char* const bytes = reinterpret_cast<const char*>(bytes_.data());
    const std::uint8_t* const zeros = zeros_.data();
    // Texts rarely hold a NUL byte: one search over all blocks finds the first block that does,
    // and only texts from it on are searched one by one.
    const char* const nul = static_cast<const char*>(std::memchr(bytes, 0, total * length));
    const std::size_t firstNul =
        nul == nullptr ? total : static_cast<std::size_t>(nul - bytes) / length;
    for (std::size_t t = 0; t < count; ++t) {
        std::string& out = plain[t];
        const std::size_t first = firstBlock_[t], end = firstBlock_[t + 1];
        // Most texts keep every block: then their bytes lie side by side already.
        if (std::all_of(zeros + first, zeros + end, [](std::uint8_t z) { return z >= 3; })) {
            out.assign(bytes + first * length, (end - first) * length);
        } else {
            out.clear();
            for (std::size_t b = first; b < end; ++b)
                if (zeros[b] >= 3) out.append(bytes + b * length, length);
        }
        const std::size_t cut = end > firstNul ? out.find('\0') : std::string::npos;
        verdicts[t].cutAtNul = cut != std::string::npos;
        if (verdicts[t].cutAtNul) out.resize(cut);
        if (!verdicts[t].lastFailed && end > first) verdicts[t].lastFailed = zeros[end - 1] < 3;
    }
}

}  // namespace kiv
