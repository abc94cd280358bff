#pragma once

#include <cstdint>

#include "residue/CipherWorkspace.h"

namespace kiv {

// WeightTable[r][c] = product of Moduli[2..r-1] mod Moduli[c] for r, c = 2..count+1. Throws
// std::domain_error on a zero modulus or a count beyond the table.
void BuildWeightTable(CipherWorkspace& ws, int count);

inline std::int32_t WeightAt(const CipherWorkspace& ws, int row, int col) {
    return ws.WeightTable[row][col];
}

// ReducedResidues[i] = Residues[i] mod Moduli[i] and GarnerSums[i] = 0 for i = 2..count+1.
void ReduceResidues(CipherWorkspace& ws, int count);

// The smallest x in 0..p-1 with x * a mod p = b, p = Moduli[index]; 0 when there is none.
std::int32_t SolveModularBrute(const CipherWorkspace& ws, int index, std::int32_t a,
                               std::int32_t b);

// x in 0..p-1 with a * x mod p = b for 0 <= a < p, 0 <= b < p, found by stepping a
// representative of a * x toward b; -1 when the stepping gives up (never for a prime p <= 263).
std::int32_t SolveModular(const CipherWorkspace& ws, int index, std::int32_t a, std::int32_t b);

// Garner's method: MixedDigits[2..count-1] from ReducedResidues; ZeroDigitCount grows by one for
// every digit that comes out 0 (the caller clears it before each block).
void ResiduesToMixedRadix(CipherWorkspace& ws, int count);

// Rewrites the mixed-radix number in base radix into ByteDigits[2..] (entry 2 least significant)
// and sets ByteDigitCount = K = trunc(sum of ln Moduli[2..n] / ln radix). The digits are computed
// over positions 2..max(K, byteCount+1): with byteCount = 0 this is exactly K positions, and
// passing the block length also makes the top byte exact when K <= L, where it would otherwise
// be formed from carries into an uncleared entry.
void MixedRadixToBytes(CipherWorkspace& ws, int radix, int n, int byteCount = 0);

}  // namespace kiv
