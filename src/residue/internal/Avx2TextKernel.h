#pragma once

#include <cstddef>
#include <cstdint>

#include "residue/TextBlockTables.h"

namespace kiv {

// The text codec's block steps with AVX2, for processors that have it (KernelRegistry offers it
// only there). Gives exactly the results of PortableTextKernel: residues block by block with the
// moduli in the lanes, Garner's digits with one block per lane, since the digits of one block
// depend on each other.
class Avx2TextKernel {
  public:
    // Residues of count blocks of L bytes, the first at text, each one readable 32 bytes from
    // its start; 32 residue bytes per block (n - 1 of them used).
    static void Residues(const TextBlockTables& tables, const std::uint8_t* text, std::size_t count,
                         std::uint8_t* residues);

    // Noise and characters of count blocks, as PortableTextKernel makes them: base[k] =
    // (r + 7 + stamp) mod 71 for the seed's draw r of modulus k; residues 32 bytes per block;
    // chain[0..n-1] the noise chain from NoiseChain[2] on, updated. Block b's 2(n-1) characters go
    // to out + at[b], the offsets increasing by at least 2(n-1); the 64 bytes after each block's
    // start may be overwritten, so whatever lies between the blocks is written after this call.
    // Keys of at most 8 moduli code two blocks to a register once a run has enough of them.
    static void Noise(const TextBlockTables& tables, const std::uint16_t* base,
                      const std::uint8_t* residues, std::size_t count, std::uint32_t* chain,
                      char* out, const std::uint32_t* at);

    // The values of pairs character pairs (low digit first); false when a character lies outside
    // "0"-"9", "A"-"Z", "a"-"z", and the values are then unfinished. Needs the standard order.
    static bool PairValues(const TextBlockTables& tables, const char* chars, std::size_t pairs,
                           std::uint16_t* values);

    // count blocks of n - 1 pair values (each below 2^12, readable 8 values past the last
    // block) into count x L bytes (writable 16 bytes past the last block) and the number of
    // zero mixed-radix digits of each block.
    static void Decode(const TextBlockTables& tables, const std::uint16_t* values,
                       std::size_t count, std::uint8_t* bytes, std::uint8_t* zeros);
};

}  // namespace kiv
