#include "residue/RecombinationTables.h"

#include <bit>

#include "residue/internal/ModularTables.h"

namespace kiv {

namespace {

// Whole numbers as little-endian base-256 digits, long enough for the product of 40 moduli
// up to 263; each operation keeps the digits its array holds and drops what carries past them.
constexpr int kDigits = 48;
using Number = std::array<std::uint32_t, kDigits>;

void MultiplyBy(Number& x, std::uint32_t factor) {
    std::uint32_t carry = 0;
    for (std::uint32_t& digit : x) {
        const std::uint32_t t = digit * factor + carry;
        digit = t & 0xff;
        carry = t >> 8;
    }
}

// x - y, modulo 256^kDigits.
Number Minus(const Number& x, const Number& y) {
    Number d{};
    std::int32_t borrow = 0;
    for (int j = 0; j < kDigits; ++j) {
        std::int32_t t = static_cast<std::int32_t>(x[j]) - static_cast<std::int32_t>(y[j]) - borrow;
        borrow = t < 0 ? 1 : 0;
        d[j] = static_cast<std::uint32_t>(t + 256 * borrow);
    }
    return d;
}

int BitLength(const Number& x) {
    for (int j = kDigits - 1; j >= 0; --j)
        if (x[j] != 0) return 8 * j + std::bit_width(x[j]);
    return 0;
}

// The digits 0..count-1 of x (mod 256^count) rewritten between -128 and 127, the carry out of
// the top one dropped.
std::array<std::int32_t, kDigits> Balanced(const Number& x, int count) {
    std::array<std::int32_t, kDigits> out{};
    std::int32_t carry = 0;
    for (int j = 0; j < count; ++j) {
        std::int32_t d = static_cast<std::int32_t>(x[j]) + carry;
        carry = d >= 128 ? 1 : 0;
        out[j] = d - 256 * carry;
    }
    return out;
}

// The digits 0..count-1 of x in base 2^16 (mod 2^(16 count)), rewritten between -32768 and
// 32767, the carry out of the top one dropped.
std::array<std::int32_t, kDigits / 2> BalancedWide(const Number& x, int count) {
    std::array<std::int32_t, kDigits / 2> out{};
    std::int32_t carry = 0;
    for (int j = 0; j < count; ++j) {
        std::int32_t d = static_cast<std::int32_t>(x[2 * j] | x[2 * j + 1] << 8) + carry;
        carry = d >= 32768 ? 1 : 0;
        out[j] = d - 65536 * carry;
    }
    return out;
}

// The value x with its signed 16-bit half (0 low, 1 high) set to value.
std::int32_t Half(std::int32_t x, int half, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(static_cast<std::uint16_t>(value));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(x) | bits << (16 * half));
}

// Signed byte b of a four-byte lane.
std::int32_t Lane(std::int32_t lane, int b, std::int32_t value) {
    const auto byte = static_cast<std::uint32_t>(static_cast<std::uint8_t>(value));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(lane) | byte << (8 * b));
}

}  // namespace

RecombinationTables::RecombinationTables(const std::uint32_t* moduli, int count, int blockLength) {
    quads = (count + 3) / 4;
    nearLimit = 255 * count;
    if (count < 1 || quads > kMaxQuads || blockLength < 1) return;

    Number whole{};
    whole[0] = 1;
    for (int i = 0; i < count; ++i)
        MultiplyBy(whole, moduli[i]);
    // The doubt: within nearLimit / 2^30 of a multiple of M, so below M x nearLimit / 2^30 in
    // size; it must stay below 2^(8W - 1), where the top bit of the columns tells its sign.
    const int doubtBits =
        BitLength(whole) + std::bit_width(static_cast<std::uint32_t>(nearLimit)) - kFractionBits;
    for (int w = blockLength + 1; w <= kMaxColumns && w <= blockLength + 4; ++w) {
        if (doubtBits <= 8 * w - 1) {
            columns = w;
            break;
        }
    }
    if (columns == 0) return;

    wideColumns = (columns + 1) / 2;
    auto truncated = [&](Number x, int bytes) {
        for (int j = bytes; j < kDigits; ++j)
            x[j] = 0;
        return x;
    };
    for (int i = 0; i < count; ++i) {
        const std::uint32_t p = moduli[i];
        Number others{};
        others[0] = 1;
        std::uint32_t othersModP = 1;
        for (int k = 0; k < count; ++k) {
            if (k == i) continue;
            MultiplyBy(others, moduli[k]);
            othersModP = othersModP * moduli[k] % p;
        }
        const std::uint32_t inverse = InverseModulo(othersModP, p);
        if (inverse == 0) return;  // moduli not coprime
        // e_i = others x inverse, less M when that is past M / 2: e_i / M = inverse / p - 1.
        const bool centred = 2 * inverse >= p;
        Number basis = others;
        MultiplyBy(basis, inverse);
        if (centred) basis = Minus(basis, whole);
        const auto column = Balanced(truncated(basis, columns), columns);
        const auto wide = BalancedWide(truncated(basis, 2 * wideColumns), wideColumns);
        // floor((inverse / p - centred) x 2^30), as a whole number below 2^29 in size.
        const std::int64_t scaled =
            (static_cast<std::int64_t>(inverse) - (centred ? static_cast<std::int64_t>(p) : 0))
            << kFractionBits;
        std::int64_t floored = scaled >= 0 ? scaled / p : -((-scaled + p - 1) / p);
        const int q = i / 4, b = i % 4;
        const int pair = 2 * q + b % 2, half = b / 2;
        const std::int64_t low = ((floored + 32768) & 0xffff) - 32768;
        wideFraction[0][pair] = Half(wideFraction[0][pair], half, static_cast<std::int32_t>(low));
        wideFraction[1][pair] =
            Half(wideFraction[1][pair], half, static_cast<std::int32_t>((floored - low) / 65536));
        for (int f = 0; f < kFractionDigits; ++f) {
            const std::int64_t digit = ((floored + 128) & 0xff) - 128;
            fraction[f][q] = Lane(fraction[f][q], b, static_cast<std::int32_t>(digit));
            floored = (floored - digit) / 256;
        }
        for (int j = 0; j < columns; ++j)
            digits[j][q] = Lane(digits[j][q], b, column[j]);
        for (int j = 0; j < wideColumns; ++j)
            wideDigits[j][pair] = Half(wideDigits[j][pair], half, wide[j]);
    }

    Number zero{};
    const auto negated = Balanced(truncated(Minus(zero, whole), columns), columns);
    const auto negatedWide =
        BalancedWide(truncated(Minus(zero, whole), 2 * wideColumns), wideColumns);
    for (int j = 0; j < wideColumns; ++j)
        wideCorrection[j] = Half(0, 0, negatedWide[j]);
    Number shifted = whole;
    MultiplyBy(shifted, 32768);
    for (int j = 0; j < columns; ++j) {
        correction[j] = Lane(Lane(0, 0, negated[j]), 1, j > 0 ? negated[j - 1] : 0);
        offset[j] = static_cast<std::int32_t>(shifted[j]);
    }
    for (int j = 0; j < blockLength; ++j)
        product[j] = static_cast<std::uint8_t>(whole[j]);
    fit = true;
}

}  // namespace kiv
