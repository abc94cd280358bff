#pragma once

#include <cstddef>
#include <cstdint>

#include "residue/TextBlockTables.h"

namespace kiv {

// The text codec's block steps with AVX-512 (F, BW, VL and VNNI), for processors that have it
// (Available()). Gives exactly the results of TextBlockCodec's portable code and of
// Avx2TextKernel, with the same contracts.
class Avx512TextKernel {
  public:
    static bool Available();

    // As Avx2TextKernel::Residues: blocks readable 32 bytes from their start, 32 residue bytes
    // per block.
    static void Residues(const TextBlockTables& tables, const std::uint8_t* text, std::size_t count,
                         std::uint8_t* residues);

    // As Avx2TextKernel::Noise (which it uses for keys of more than 8 moduli and for short runs).
    static void Noise(const TextBlockTables& tables, const std::uint16_t* base,
                      const std::uint8_t* residues, std::size_t count, std::uint32_t* chain,
                      char* out, const std::uint32_t* at);

    // As Avx2TextKernel::PairValues.
    static bool PairValues(const TextBlockTables& tables, const char* chars, std::size_t pairs,
                           std::uint16_t* values);

    // As Avx2TextKernel::Decode: values readable 2 past the last block, bytes writable 4 past
    // the last block.
    static void Decode(const TextBlockTables& tables, const std::uint16_t* values,
                       std::size_t count, std::uint8_t* bytes, std::uint8_t* zeros);
};

}  // namespace kiv
