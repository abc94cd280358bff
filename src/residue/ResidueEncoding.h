#pragma once

#include "residue/CipherWorkspace.h"

namespace kiv {

// Residues[i] = N mod Moduli[i] for i = 2..n, where N = sum of BlockValues[j] x radix^(j-1) over
// j = 1..n-1. Uses ScratchA and ScratchB[2..n]. Throws std::domain_error on a zero modulus.
void ComputeResidues(CipherWorkspace& ws, int radix, int n);

// Reseeds the generator from the clock, then hides each residue i = 2..n as
// v = Moduli[i] x u + Residues[i] with u in 0..18 drawn from the generator, the noise chain of
// the previous block and the stamp, and writes v as two base-61 digits into NoiseDigits.
void AddNoise(CipherWorkspace& ws, int n, std::int32_t stamp);

}  // namespace kiv
