#pragma once

#include <cstddef>
#include <cstdint>

#include "residue/TextBlockTables.h"

namespace kiv {

// The text codec's block steps with AVX-512 (F, BW, VL and VNNI), for processors that have it
// (KernelRegistry offers it only there). Gives exactly the results of PortableTextKernel and of
// Avx2TextKernel, with the same contracts.
class Avx512TextKernel {
  public:
    // As Avx2TextKernel::Residues: blocks readable 32 bytes from their start, 32 residue bytes
    // per block.
    static void Residues(const TextBlockTables& tables, const std::uint8_t* text, std::size_t count,
                         std::uint8_t* residues);

    // As Avx2TextKernel::Noise, for keys of at most 8 moduli, four blocks to a register, once the
    // run has enough blocks for its streams; false, with nothing written, for other keys and
    // shorter runs.
    static bool Noise(const TextBlockTables& tables, const std::uint16_t* base,
                      const std::uint8_t* residues, std::size_t count, std::uint32_t* chain,
                      char* out, const std::uint32_t* at);

    // As Avx2TextKernel::PairValues.
    static bool PairValues(const TextBlockTables& tables, const char* chars, std::size_t pairs,
                           std::uint16_t* values);

    // As Avx2TextKernel::Decode: values readable 8 past the last block, bytes writable 16 past
    // the last block.
    static void Decode(const TextBlockTables& tables, const std::uint16_t* values,
                       std::size_t count, std::uint8_t* bytes, std::uint8_t* zeros);
};

}  // namespace kiv
