#include "cipher/TextBlockCodec.h"

#include <algorithm>
#include <cstring>

#include "numeric/RandomGenerator.h"
#include "residue/Avx2TextKernel.h"
#include "residue/Avx512TextKernel.h"
#include "runtime/SecretWipe.h"

namespace kiv {

namespace {

using Limbs = std::array<std::uint64_t, 3>;

// acc += digit x factor, modulo 2^(64 kLimbs).
template <int kLimbs>
inline void AddProduct(Limbs& acc, std::uint64_t digit, const Limbs& factor) {
    if constexpr (kLimbs == 1) {
        acc[0] += digit * factor[0];
    } else {
        unsigned __int128 carry = 0;
        for (int l = 0; l < kLimbs; ++l) {
            const unsigned __int128 t =
                static_cast<unsigned __int128>(digit) * factor[l] + acc[l] + carry;
            acc[l] = static_cast<std::uint64_t>(t);
            carry = t >> 64;
        }
    }
}

template <int kLimbs>
void DecodePortable(const TextBlockTables& t, const std::uint16_t* values, std::size_t count,
                    std::uint8_t* bytes, std::uint8_t* zeros) {
    const int moduli = t.residues;
    const auto length = static_cast<std::size_t>(t.blockLength);
    for (std::size_t b = 0; b < count; ++b, values += moduli, bytes += length) {
        // Sums stay below 180 x 2^14 + 31 x 180 x 180 < 2^23.
        std::uint32_t digit[TextBlockTables::kMaxModuli];
        int zero = 0;
        Limbs acc{};
        for (int k = 0; k < moduli; ++k) {
            std::uint32_t sum = t.inverse[k] * values[k];
            const auto& factor = t.factor[k];
            for (int j = 0; j < k; ++j)
                sum += factor[j] * digit[j];
            digit[k] = t.moduli[k].Reduce(sum);
            zero += digit[k] == 0 ? 1 : 0;
            AddProduct<kLimbs>(acc, digit[k], t.product[k]);
        }
        zeros[b] = static_cast<std::uint8_t>(zero);
        for (std::size_t j = 0; j < length; ++j)
            bytes[j] = static_cast<std::uint8_t>(acc[j / 8] >> (8 * (j % 8)));
    }
}

}  // namespace

std::unique_ptr<TextBlockCodec> TextBlockCodec::Create(const CipherWorkspace& ws,
                                                       std::string_view key, int n,
                                                       const CharacterOrder& order,
                                                       TextKernel kernel) {
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
        new TextBlockCodec(&ws.Moduli[2], count, key, order, kernel));
}

TextBlockCodec::TextBlockCodec(const std::int32_t* moduli, int count, std::string_view key,
                               const CharacterOrder& order, TextKernel kernel)
    : tables_(moduli, count, static_cast<int>(key.size()), order.CharOrder, order.CharIndex),
      blockLength_(key.size()),
      blockMagic_(~std::uint64_t{0} / key.size() + 1),
      key_(key),
      order_(order),
      kernel_(kernel),
      vector_(kernel != TextKernel::Portable && tables_.standardOrder &&
              Avx2TextKernel::Available()),
      wide_(vector_ && kernel != TextKernel::Avx2 && Avx512TextKernel::Available()),
      residues_(kClockBlocks * 32),
      padded_(kClockBlocks * key.size() + 32, ' ') {}

bool TextBlockCodec::Runs(TextKernel kernel) {
    switch (kernel) {
        case TextKernel::Avx2:
            return Avx2TextKernel::Available();
        case TextKernel::Avx512:
            return Avx512TextKernel::Available();
        default:
            return true;
    }
}

TextKernel TextBlockCodec::BestKernel() {
    if (Avx512TextKernel::Available()) return TextKernel::Avx512;
    if (Avx2TextKernel::Available()) return TextKernel::Avx2;
    return TextKernel::Portable;
}

bool TextBlockCodec::Serves(std::string_view key, const CharacterOrder& order,
                            TextKernel kernel) const {
    return kernel == kernel_ && key == key_ &&
           std::memcmp(&order, &order_, sizeof(CharacterOrder)) == 0;
}

void TextBlockCodec::PrepareNoise(std::int32_t seed, std::int32_t stamp) {
    if (noiseReady_ && seed == noiseSeed_ && stamp == noiseStamp_) return;
    SeedGenerator(drawn_, static_cast<std::uint32_t>(seed));
    for (int k = 0; k < tables_.residues; ++k) {
        const std::int32_t r = RandomBelow(drawn_, 213);
        const std::int32_t m = static_cast<std::int32_t>(tables_.moduli[k].value);
        noiseBase_[k] = static_cast<std::uint16_t>((r + 7 + stamp) % 71);
        if (vector_) continue;
        for (std::int32_t c = 0; c < kChainValues; ++c) {
            const std::int32_t t = r + c + 7 + stamp;
            const std::int32_t u = (m * (t % 71) + c) % 19;
            noise_[k * kChainValues + c] = static_cast<std::uint16_t>(m * u);
        }
    }
    noiseSeed_ = seed;
    noiseStamp_ = stamp;
    noiseReady_ = true;
}

void TextBlockCodec::EncodeResidues(const std::uint8_t* text, std::size_t count,
                                    std::uint8_t* residues) const {
    if (wide_) {
        Avx512TextKernel::Residues(tables_, text, count, residues);
        return;
    }
    if (vector_) {
        Avx2TextKernel::Residues(tables_, text, count, residues);
        return;
    }
    const int moduli = tables_.residues;
    const int length = tables_.blockLength;
    const int words = length / 2;
    for (std::size_t b = 0; b < count; ++b, text += length, residues += 32) {
        // At most 9 words below 2^16 times factors below 181: far below 2^32.
        std::uint32_t sum[TextBlockTables::kMaxModuli] = {};
        for (int w = 0; w < words; ++w) {
            const std::uint32_t word = text[2 * w] | text[2 * w + 1] << 8;
            const auto& power = tables_.wordPower[w];
            for (int k = 0; k < moduli; ++k)
                sum[k] += word * power[k];
        }
        if (length % 2 == 1) {
            const std::uint32_t word = text[length - 1];
            const auto& power = tables_.wordPower[words];
            for (int k = 0; k < moduli; ++k)
                sum[k] += word * power[k];
        }
        for (int k = 0; k < moduli; ++k)
            residues[k] = static_cast<std::uint8_t>(tables_.moduli[k].Reduce(sum[k]));
    }
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
            std::memset(to + taken, ' ', take * length - taken);
            for (std::size_t b = 0; b < take; ++b, pos += chars)
                at_[blocks + b] = static_cast<std::uint32_t>(pos - runBegin);
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
            EncodeResidues(reinterpret_cast<const std::uint8_t*>(padded_.data()), blocks,
                           residues_.data());
            // Every block reseeds the generator from the clock's seconds, so the blocks of one
            // second draw the same values, and their noise depends only on the chain value.
            PrepareNoise(ws.clock->ClockSeconds(), stamp);
            drawn = true;
            char* base = out.data() + runBegin;
            if (wide_) {
                Avx512TextKernel::Noise(tables_, noiseBase_.data(), residues_.data(), blocks,
                                        chain.data(), base, at_.data());
            } else if (vector_) {
                Avx2TextKernel::Noise(tables_, noiseBase_.data(), residues_.data(), blocks,
                                      chain.data(), base, at_.data());
            } else {
                const std::uint8_t* residue = residues_.data();
                for (std::size_t b = 0; b < blocks; ++b, residue += 32) {
                    char* to = base + at_[b];
                    const std::uint16_t* noise = noise_.data();
                    for (int k = 0; k < moduli; ++k, noise += kChainValues) {
                        const std::uint32_t c = chain[k + 1];  // still the previous block's value
                        const std::uint32_t entry = tables_.noised[noise[c] + residue[k]];
                        to[0] = static_cast<char>(entry);
                        to[1] = static_cast<char>(entry >> 8);
                        to += 2;
                        chain[k] = entry >> 16;
                    }
                }
            }
        }
        // After the characters, whose stores reach past their blocks.
        if (!after.empty())
            for (const std::size_t end : ends_)
                std::memcpy(out.data() + end, after.data(), after.size());
    }
    out.resize(begin + size);
    for (int k = 0; k < moduli; ++k)
        ws.NoiseChain[k + 2] = static_cast<std::int32_t>(chain[k]);
    // The generator as the last block's draws leave it.
    if (drawn) ws.random = drawn_;
}

bool TextBlockCodec::PairValues(const char* chars, std::size_t blocks,
                                std::uint16_t* values) const {
    const int moduli = tables_.residues;
    const std::size_t pairs = blocks * static_cast<std::size_t>(moduli);
    if (wide_ && Avx512TextKernel::PairValues(tables_, chars, pairs, values)) return true;
    if (vector_ && !wide_ && Avx2TextKernel::PairValues(tables_, chars, pairs, values)) return true;
    const auto* c = reinterpret_cast<const std::uint8_t*>(chars);
    std::uint32_t foreign = 0;
    for (std::size_t p = 0; p < pairs; ++p) {
        const std::uint16_t low = tables_.charDigit[c[2 * p]];
        const std::uint16_t high = tables_.charDigit[c[2 * p + 1]];
        foreign |= std::max(low, high) > 61 ? 1u : 0u;
        values[p] = static_cast<std::uint16_t>(low + 61 * high);
    }
    if (foreign == 0) return true;
    for (std::size_t p = 0; p < pairs; ++p)
        values[p] = static_cast<std::uint16_t>(tables_.moduli[p % moduli].Reduce(values[p]));
    return false;
}

void TextBlockCodec::DecodeBlocks(const std::uint16_t* values, std::size_t count,
                                  std::uint8_t* bytes, std::uint8_t* zeros) const {
    if (wide_) {
        Avx512TextKernel::Decode(tables_, values, count, bytes, zeros);
        return;
    }
    if (vector_) {
        Avx2TextKernel::Decode(tables_, values, count, bytes, zeros);
        return;
    }
    if (tables_.blockLength <= 8) {
        DecodePortable<1>(tables_, values, count, bytes, zeros);
    } else if (tables_.blockLength <= 16) {
        DecodePortable<2>(tables_, values, count, bytes, zeros);
    } else {
        DecodePortable<3>(tables_, values, count, bytes, zeros);
    }
}

void TextBlockCodec::ShowMessages(std::string_view text, std::size_t readChars, bool cut,
                                  CipherMessages& messages) const {
    const auto blockChars = static_cast<std::size_t>(BlockChars());
    std::size_t shownBlock = SIZE_MAX;
    for (std::size_t at = 0; at < readChars; ++at) {
        if (order_.CharIndex[static_cast<std::uint8_t>(text[at])] <= 61) continue;
        const std::size_t block = at / blockChars;
        if (block == shownBlock) continue;
        messages.ShowMessage(at % 2 == 0 ? kMessageChangedOne : kMessageChangedTwo);
        shownBlock = block;
    }
    // The first missing character of a cut block counts as a foreign one.
    if (cut && shownBlock != readChars / blockChars)
        messages.ShowMessage(readChars % 2 == 0 ? kMessageChangedOne : kMessageChangedTwo);
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
    // Two spare values for the vector kernel's 4-byte loads.
    values_.resize(total * moduli + 2);
    for (std::size_t t = 0; t < count; ++t) {
        const std::string_view text = texts[t];
        const std::size_t full = firstBlock_[t + 1] - firstBlock_[t];
        // A cut last block: pairs remain after the whole blocks.
        const bool cut = text.size() / 2 > full * moduli;
        const std::size_t readChars = cut ? text.size() : full * blockChars;
        const bool clean = PairValues(text.data(), full, &values_[firstBlock_[t] * moduli]);
        bool tailClean = true;
        for (std::size_t at = full * blockChars; at < readChars; ++at)
            if (order_.CharIndex[static_cast<std::uint8_t>(text[at])] > 61) tailClean = false;
        if (!clean || !tailClean || cut) ShowMessages(text, readChars, cut, messages);
        verdicts[t].lastFailed = cut;
    }

    bytes_.resize(total * length + 32);
    zeros_.resize(total);
    DecodeBlocks(values_.data(), total, bytes_.data(), zeros_.data());

    for (std::size_t t = 0; t < count; ++t) {
        std::string& out = plain[t];
        out.clear();
        for (std::size_t b = firstBlock_[t]; b < firstBlock_[t + 1]; ++b) {
            if (zeros_[b] < 3) continue;
            out.append(reinterpret_cast<const char*>(&bytes_[b * length]), length);
        }
        const std::size_t nul = out.find('\0');
        verdicts[t].cutAtNul = nul != std::string::npos;
        if (verdicts[t].cutAtNul) out.resize(nul);
        const std::size_t last = firstBlock_[t + 1];
        if (!verdicts[t].lastFailed && last > firstBlock_[t])
            verdicts[t].lastFailed = zeros_[last - 1] < 3;
    }
}

}  // namespace kiv
