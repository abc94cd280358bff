#pragma once

#include <cstddef>
#include <cstdint>

#include "residue/BlockTables.h"

namespace kiv {

// The file runs' block steps in plain integers, for every processor, with the contracts of
// ResidueKernel's block entries: the reference the vector kernels are held to. Encoding sums the
// bytes' powers of 256 per modulus; decoding takes Garner's digits and the number they stand for
// by Horner's rule, kept modulo 2^192.
class PortableBlockKernel {
  public:
    static void Encode(const BlockTables& tables, const std::uint8_t* blocks, std::size_t count,
                       std::uint8_t* residues);
    // Distinct moduli only.
    static void Decode(const BlockTables& tables, const std::uint8_t* residues, std::size_t count,
                       std::uint8_t* blocks);
};

}  // namespace kiv
