#include "residue/ResidueEncoding.h"

#include <stdexcept>

namespace kiv {

namespace {

void RequireModuli(const CipherWorkspace& ws, int first, int last) {
    for (int i = first; i <= last; ++i)
        if (ws.Moduli[i] == 0) throw std::domain_error("Division by zero");
}

}  // namespace

void ComputeResidues(CipherWorkspace& ws, int radix, int n) {
    RequireModuli(ws, 2, n);
    const auto& m = ws.Moduli;
    for (int i = 2; i <= n; ++i) {
        ws.ScratchA[i] = radix % m[i];
        ws.Residues[i] = ws.BlockValues[1] % m[i];
        ws.ScratchB[i] = 1;
    }
    for (int j = 2; j <= n - 1; ++j) {
        const std::int32_t value = ws.BlockValues[j];
        for (int k = 2; k <= n; ++k) {
            ws.ScratchB[k] = ws.ScratchB[k] * ws.ScratchA[k] % m[k];
            ws.Residues[k] = (ws.Residues[k] + ws.ScratchB[k] * value % m[k]) % m[k];
        }
    }
}

void AddNoise(CipherWorkspace& ws, int n, std::int32_t stamp) {
    SeedRandom(ws.random, *ws.clock);
    for (int i = 2; i <= n; ++i) {
        const std::int32_t r = RandomBelow(ws.random, 213);
        const std::int32_t c = ws.NoiseChain[i + 1];  // still the previous block's value
        const std::int32_t t = r + c + 7 + stamp;
        const std::int32_t u = (ws.Moduli[i] * (t % 71) + c) % 19;
        const std::int32_t v = ws.Moduli[i] * u + ws.Residues[i];
        const std::int32_t w = v % 61;
        ws.NoiseDigits[2 * (i - 1)] = w;
        ws.NoiseDigits[2 * (i - 1) + 1] = (v - w) / 61;
        ws.NoiseChain[i] = w + 1;
    }
}

}  // namespace kiv
