#include "residue/KeySchedule.h"

#include <cfenv>
#include <cstring>

#include "numeric/FloatingPointEnvironment.h"
#include "numeric/NumericServices.h"

namespace kiv {

void GeneratePrimes(CipherWorkspace& ws, int count, int keepOrder) {
    auto& m = ws.Moduli;
    m[1] = 1;
    m[2] = 2;
    m[3] = 3;
    int filled = 3;
    // The last stored entry is M[count+2]; the row holds 256 entries.
    const int last = count + 2 < CipherWorkspace::kRow ? count + 2 : CipherWorkspace::kRow - 1;
    for (std::int32_t candidate = 5; filled < last; candidate += 2) {
        for (int k = 2;; ++k) {
            if (candidate % m[k] == 0) break;  // divisibility is tested before the square
            if (m[k] * m[k] > candidate) {
                m[++filled] = candidate;
                break;
            }
        }
    }
    if (keepOrder != 0) return;
    for (int k = 1; k <= count; ++k)
        ws.BlockValues[k] = m[k];
    for (int k = 1; k <= count; ++k)
        m[k] = ws.BlockValues[count + 1 - k];
}

int DerivePasswordPermutation(CipherWorkspace& ws, int count) {
    const int len = static_cast<int>(strnlen(ws.KeyText.data(), ws.KeyText.size()));
    auto& values = ws.BlockValues;
    auto& digits = ws.MixedDigits;
    auto& slots = ws.ByteDigits;
    auto& a = ws.ScratchA;
    auto& b = ws.ScratchB;
    for (int i = 0; i <= count; ++i)
        values[i] = digits[i] = slots[i] = 0;
    for (int k = 0; k < len && k + 1 < CipherWorkspace::kRow; ++k)
        values[k + 1] = static_cast<std::int8_t>(ws.KeyText[k]);

    int top = 0;
    for (int i = 1; i <= count; ++i)
        if (values[i] != 0) top = i;
    for (int i = 1; i <= count; ++i) {
        a[i] = values[i];
        b[i] = 0;
    }

    // The key number in the factorial number system: divide by 2, 3, ..., count in turn, from the
    // top position down, with signed division truncating toward zero.
    for (int v = 2; v <= count; ++v) {
        for (int m = top; m >= 2; --m) {
            if (a[m] >= v) {
                b[m] = a[m] / v;
                a[m] = a[m] % v;
            }
            const std::int32_t t = a[m] * 256 + a[m - 1];
            b[m - 1] = t / v;
            a[m - 1] = t % v;
        }
        digits[v] = a[1];
        for (int j = 1; j <= top; ++j) {
            a[j] = b[j];
            b[j] = 0;
        }
    }

    // Lay out the permutation: v goes to the (d+1)-th free slot; a negative digit parks it in
    // slot 0, which leaves a slot free that later selects Moduli[2].
    for (int v = count - 2; v >= 1; --v) {
        const std::int32_t d = digits[v];
        if (d < 0) {
            slots[0] = v;
            continue;
        }
        std::int32_t free = 0;
        for (int i = 1; i < CipherWorkspace::kRow; ++i) {
            if (slots[i] != 0) continue;
            if (free++ == d) {
                slots[i] = v;
                break;
            }
        }
    }
    for (int i = count - 2; i >= 3; --i)
        digits[i] = ws.Moduli[slots[i] + 2];
    for (int i = 2; i <= count - 1; ++i)
        ws.Moduli[i] = digits[count - i];
    return len;
}

int BlockPrimeCount(CipherWorkspace& ws, int bytesPerBlock) {
    std::feclearexcept(FE_ALL_EXCEPT);
    const float target =
        static_cast<float>(NaturalLog(256.0) * static_cast<Extended>(bytesPerBlock));
    float sum = 0.0f;
    int i = 1;
    do {
        ++i;
        const std::int32_t c = ws.Moduli[i];
        if (c > 0) sum = static_cast<float>(NaturalLog(c) + static_cast<Extended>(sum));
    } while (target > sum && i < CipherWorkspace::kRow - 4);
    RaiseTrappedFloatingPoint();
    return i;
}

bool ModuliDistinct(const CipherWorkspace& ws, int first, int last) {
    for (int i = first; i <= last; ++i)
        for (int j = i + 1; j <= last; ++j)
            if (ws.Moduli[i] == ws.Moduli[j]) return false;
    return true;
}

}  // namespace kiv
