#pragma once

#include <cstdint>

#include "residue/CipherWorkspace.h"

namespace kiv {

// The prime tables' sizes: the text cores use 44 entries, the file runs 55.
inline constexpr int kTextPrimeCount = 44;
inline constexpr int kFilePrimeCount = 55;

// Fills Moduli[1..count+2] with 1, 2, 3, 5, 7, ... (entry k >= 2 is the (k-1)-th prime) and, when
// keepOrder is 0, reverses the first count entries. Uses BlockValues[1..count] as scratch.
void GeneratePrimes(CipherWorkspace& ws, int count, int keepOrder);

// Orders Moduli[2..count-1] by the key in KeyText, read as a base-256 number of signed bytes
// (first byte least significant) and written in the factorial number system. Expects
// GeneratePrimes(count, 0) to have just run. Leaves the key's signed byte values in
// BlockValues[1..len] and 0 in BlockValues[len+1..count]; returns len.
int DerivePasswordPermutation(CipherWorkspace& ws, int count);

// The smallest index e whose moduli Moduli[2..e] have logarithms summing (in a 32-bit float) to
// at least bytesPerBlock x ln 256 (also a 32-bit float). Every stored geometry depends on this
// exact rounding: the text cores take n = e + 3, the file runs d = e + 1.
int BlockPrimeCount(CipherWorkspace& ws, int bytesPerBlock);

// True when Moduli[first..last] are pairwise distinct. Keys with bytes of 128 or more can map two
// positions to the same prime; their blocks can then never be decoded.
bool ModuliDistinct(const CipherWorkspace& ws, int first, int last);

}  // namespace kiv
