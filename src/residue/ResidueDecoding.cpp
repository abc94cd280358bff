#include "residue/ResidueDecoding.h"

#include <algorithm>
#include <cfenv>
#include <stdexcept>

#include "numeric/FloatingPointEnvironment.h"
#include "numeric/NumericServices.h"

namespace kiv {

void BuildWeightTable(CipherWorkspace& ws, int count) {
    if (count + 1 >= CipherWorkspace::kWeightSize)
        throw std::domain_error("Weight table too small for the moduli count");
    for (int i = 2; i <= count + 1; ++i)
        if (ws.Moduli[i] == 0) throw std::domain_error("Division by zero");
    for (int c = 2; c <= count + 1; ++c) {
        std::int32_t a = 1;
        for (int r = 2; r <= count + 1; ++r) {
            ws.WeightTable[r][c] = a;
            a = a * ws.Moduli[r] % ws.Moduli[c];
        }
    }
}

void ReduceResidues(CipherWorkspace& ws, int count) {
    for (int i = 2; i <= count + 1; ++i) {
        ws.ReducedResidues[i] = ws.Residues[i] % ws.Moduli[i];
        ws.GarnerSums[i] = 0;
    }
}

std::int32_t SolveModularBrute(const CipherWorkspace& ws, int index, std::int32_t a,
                               std::int32_t b) {
    const std::int32_t p = ws.Moduli[index];
    for (std::int32_t x = 0; x < p; ++x)
        if (x * a % p == b) return x;
    return 0;
}

std::int32_t SolveModular(const CipherWorkspace& ws, int index, std::int32_t a, std::int32_t b) {
    if (a < 2) return SolveModularBrute(ws, index, a, b);
    const std::int32_t p = ws.Moduli[index];
    const std::int32_t q = p / a;
    const std::int32_t r = p % a;
    // r is never 0 for a prime modulus; the stepping would divide by it.
    if (r == 0) return SolveModularBrute(ws, index, a, b);
    const std::int32_t s = a - r;
    std::int32_t x = b / a + 1;
    std::int32_t y = a * x;
    for (std::int32_t steps = 1;; ++steps) {
        if (steps > p) return -1;
        if (y == b) return x % p;
        if (y > b) {
            const std::int32_t g = (y - b) / r + 1;
            y -= r * g;
            x += q * g;
            if ((y - b) % r == 0) {
                y += r;
                x -= q;
            }
        }
        if (y < b) {
            const std::int32_t g = (b - y) / s + 1;
            y += s * g;
            x += (q + 1) * g;
            if ((b - y) % s == 0) {
                y -= s;
                x -= q + 1;
            }
        }
    }
}

void ResiduesToMixedRadix(CipherWorkspace& ws, int count) {
    ws.MixedDigits.fill(0);
    for (int i = 2; i <= count - 1; ++i) {
        const std::int32_t a = WeightAt(ws, i, i);
        std::int32_t b = ws.ReducedResidues[i] - ws.GarnerSums[i];
        if (b < 0) b += ws.Moduli[i];
        const std::int32_t digit = SolveModular(ws, i, a, b);
        ws.MixedDigits[i] = digit;
        if (digit == 0) ++ws.ZeroDigitCount;
        for (int j = 2; j <= count; ++j)
            ws.GarnerSums[j] = (WeightAt(ws, i, j) * digit + ws.GarnerSums[j]) % ws.Moduli[j];
    }
}

namespace {

// Moves carries up from position j for as long as the entry reached is at least radix. Entries
// past the computed positions are not cleared and collect the carries; they are never read.
void Normalise(CipherWorkspace::Row& row, int j, std::int32_t radix) {
    constexpr int kLast = CipherWorkspace::kRow - 1;
    do {
        const std::int32_t low = row[j] % radix;
        const std::int32_t carry = (row[j] - low) / radix;
        row[j] = low;
        if (j == kLast) return;
        row[++j] += carry;
    } while (row[j] >= radix);
}

}  // namespace

void MixedRadixToBytes(CipherWorkspace& ws, int radix, int n, int byteCount) {
    std::feclearexcept(FE_ALL_EXCEPT);
    float sum = 0.0f;
    for (int i = 2; i <= n; ++i) {
        const std::int32_t c = ws.Moduli[i];
        if (c > 0) sum = static_cast<float>(NaturalLog(c) + static_cast<Extended>(sum));
    }
    const int k = TruncateToInt(static_cast<Extended>(sum) / NaturalLog(radix));
    RaiseTrappedFloatingPoint();
    ws.ByteDigitCount = k;

    const int top = std::min(std::max(k, byteCount + 1), CipherWorkspace::kRow - 2);
    auto& product = ws.ScratchA;
    auto& digits = ws.ByteDigits;
    for (int j = 2; j <= top; ++j)
        product[j] = digits[j] = 0;
    digits[2] = ws.MixedDigits[2];
    product[2] = 1;
    for (int i = 2; i <= n - 1; ++i) {
        for (int j = 2; j <= top; ++j)
            product[j] *= ws.Moduli[i];
        for (int j = 2; j <= top; ++j)
            Normalise(product, j, radix);
        const std::int32_t digit = ws.MixedDigits[i + 1];
        for (int j = 2; j <= top; ++j) {
            digits[j] += digit * product[j];
            Normalise(digits, j, radix);
        }
    }
}

}  // namespace kiv
