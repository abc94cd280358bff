#pragma once

#include <cstddef>
#include <cstdint>

#include "residue/TextBlockTables.h"
#include "residue/TextNoise.h"

namespace kiv {

// The text block steps in plain integers, for every processor, with the contracts of
// ResidueKernel's text entries: the reference the vector kernels are held to. Residues by 16-bit
// words, noise by lookup, Garner's digits in one sum each and the block from them in 64-bit
// limbs.
class PortableTextKernel {
  public:
    static void Residues(const TextBlockTables& tables, const std::uint8_t* text, std::size_t count,
                         std::uint8_t* residues);
    static void Noise(const TextBlockTables& tables, TextNoise& noise, const std::uint8_t* residues,
                      std::size_t count, std::uint32_t* chain, char* out, const std::uint32_t* at);
    static bool PairValues(const TextBlockTables& tables, const char* chars, std::size_t pairs,
                           std::uint16_t* values);
    static void Decode(const TextBlockTables& tables, const std::uint16_t* values,
                       std::size_t count, std::uint8_t* bytes, std::uint8_t* zeros);
};

}  // namespace kiv
