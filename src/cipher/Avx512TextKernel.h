#pragma once

#include <cstddef>
#include <cstdint>

#include "cipher/TextBlockCodec.h"

namespace kiv {

// The text codec's block steps with AVX-512 (F, BW, VL and VNNI), for processors that have it
// (Available()). Gives exactly the results of TextBlockCodec's portable code and of
// Avx2TextKernel, with the same contracts; the noise, a chain from block to block in 16-bit
// lanes, stays with Avx2TextKernel::Noise.
class Avx512TextKernel {
  public:
    static bool Available();

    // As Avx2TextKernel::Residues: blocks readable 32 bytes from their start, 32 residue bytes
    // per block.
    static void Residues(const TextBlockTables& tables, const std::uint8_t* text, std::size_t count,
                         std::uint8_t* residues);

    // As Avx2TextKernel::PairValues.
    static bool PairValues(const TextBlockTables& tables, const char* chars, std::size_t pairs,
                           std::uint16_t* values);

    // As Avx2TextKernel::Decode: values readable 2 past the last block, bytes writable 4 past
    // the last block.
    static void Decode(const TextBlockTables& tables, const std::uint16_t* values,
                       std::size_t count, std::uint8_t* bytes, std::uint8_t* zeros);
};

}  // namespace kiv
