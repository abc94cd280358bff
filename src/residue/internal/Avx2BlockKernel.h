#pragma once

#include <cstddef>
#include <cstdint>

#include "residue/BlockTables.h"

namespace kiv {

// Block coding with AVX2, for processors that have it (KernelRegistry offers it only there, and
// to processors with AVX-512 but without VNNI). Gives exactly the results of
// PortableBlockKernel. Encoding works block by block with the moduli in the lanes (8 per
// register); decoding holds one block per lane and recombines its residues in one step with
// 16-bit multiply-adds (RecombinationTables), or, where the tables do not fit, takes Garner's
// digits. The tables must be vectorFit (and distinct, to decode).
class Avx2BlockKernel {
  public:
    // count blocks of L bytes into count x (d - 1) residue bytes.
    static void Encode(const BlockTables& tables, const std::uint8_t* blocks, std::size_t count,
                       std::uint8_t* residues);
    // count x (d - 1) residue bytes into count blocks of L bytes.
    static void Decode(const BlockTables& tables, const std::uint8_t* residues, std::size_t count,
                       std::uint8_t* blocks);
};

}  // namespace kiv
