#pragma once

#include <cstddef>
#include <cstdint>

#include "residue/BlockTables.h"
#include "residue/InstructionSet.h"
#include "residue/TextBlockTables.h"
#include "residue/TextNoise.h"

namespace kiv {

// One instruction set's code for the block steps of file runs and texts: a table of functions,
// picked once per key by KernelRegistry and then called for every run of blocks. Every entry
// gives the results of the portable one to the byte, for any input its contract allows; what a
// set has no code of its own for, its table takes from the set below.
struct ResidueKernel {
    InstructionSet set;

    // File runs. count blocks of L bytes into count x (d - 1) residue bytes.
    void (*encodeBlocks)(const BlockTables& tables, const std::uint8_t* blocks, std::size_t count,
                         std::uint8_t* residues);
    // count x (d - 1) residue bytes into count blocks of L bytes; distinct moduli only (keys
    // whose moduli repeat decode through the workspace operations).
    void (*decodeBlocks)(const BlockTables& tables, const std::uint8_t* residues, std::size_t count,
                         std::uint8_t* blocks);

    // Texts. Residues of count blocks of L bytes, the first at text, each one readable 32 bytes
    // from its start; 32 residue bytes per block (n - 1 of them used).
    void (*textResidues)(const TextBlockTables& tables, const std::uint8_t* text, std::size_t count,
                         std::uint8_t* residues);
    // Noise and characters of count blocks with the noise of the blocks' seed and stamp:
    // residues 32 bytes per block; chain[0..n-1] the noise chain from NoiseChain[2] on, updated.
    // Block b's 2(n-1) characters go to out + at[b], the offsets increasing by at least 2(n-1);
    // the 64 bytes after each block's start may be overwritten, so whatever lies between the
    // blocks is written after this call.
    void (*textNoise)(const TextBlockTables& tables, TextNoise& noise, const std::uint8_t* residues,
                      std::size_t count, std::uint32_t* chain, char* out, const std::uint32_t* at);
    // The values of pairs character pairs (low digit first, low + 61 x high); false when a
    // character lies outside the alphabet, and the values are then reduced modulo their moduli
    // (which keeps every sum of the decoding in range and changes no digit).
    bool (*pairValues)(const TextBlockTables& tables, const char* chars, std::size_t pairs,
                       std::uint16_t* values);
    // count blocks of n - 1 pair values (each below 2^12, readable 8 values past the last
    // block) into count x L bytes (writable 16 bytes past the last block) and the number of zero
    // mixed-radix digits of each block.
    void (*textDecode)(const TextBlockTables& tables, const std::uint16_t* values,
                       std::size_t count, std::uint8_t* bytes, std::uint8_t* zeros);
};

}  // namespace kiv
