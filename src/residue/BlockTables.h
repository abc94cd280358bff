#pragma once

#include <array>
#include <cstdint>

#include "residue/RecombinationTables.h"
#include "residue/SmallBlockFactors.h"
#include "residue/VectorLayout.h"

namespace kiv {

// Everything a file run's block coding needs that depends only on the password, computed once per
// run: the key's vector layout, the powers of 256 modulo each modulus, and the tables of the
// AVX-512 kernel's one-step decoding and short-block encoding. Read-only after construction, so
// any number of threads may code blocks with one instance.
struct BlockTables : VectorLayout {
    // moduli: the block's residueBytes moduli (d - 1 of them), each at least 2; distinct: whether
    // they are pairwise distinct, which Garner's weights and inverses need. Throws
    // std::invalid_argument on a geometry out of range and std::domain_error on a modulus below 2.
    BlockTables(const std::int32_t* moduli, int residueBytes, int blockLength, bool distinct);

    // power[j][k] = 256^j mod modulus k, laid out for a loop over k.
    std::array<std::array<std::uint32_t, kMaxResidues>, kMaxBlock> power{};
    // Decoding in one step instead of Garner's digits (distinct moduli only).
    RecombinationTables recombination;
    // Encoding short blocks one to a lane.
    SmallBlockFactors smallBlocks;
};

}  // namespace kiv
