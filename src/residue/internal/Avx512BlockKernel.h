#pragma once

#include <cstddef>
#include <cstdint>

#include "residue/BlockTables.h"

namespace kiv {

// Block coding with AVX-512 (F, BW, VL and VNNI), for processors that have it (KernelRegistry
// offers it only there). Gives exactly the results of PortableBlockKernel and of Avx2BlockKernel.
// Encoding codes blocks of up to 8 bytes 16 at a time, one block per lane (with VBMI), and longer
// ones two per register, the moduli in the lanes of each half. Decoding holds one block per lane
// and recombines its residues in one step (RecombinationTables), or, where the tables do not fit,
// takes Garner's digits. The tables must be vectorFit (and distinct, to decode).
class Avx512BlockKernel {
  public:
    // count blocks of L bytes into count x (d - 1) residue bytes.
    static void Encode(const BlockTables& tables, const std::uint8_t* blocks, std::size_t count,
                       std::uint8_t* residues);
    // count x (d - 1) residue bytes into count blocks of L bytes.
    static void Decode(const BlockTables& tables, const std::uint8_t* residues, std::size_t count,
                       std::uint8_t* blocks);
};

}  // namespace kiv
