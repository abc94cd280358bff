#include "residue/BlockTables.h"

#include <stdexcept>

namespace kiv {

namespace {

// The moduli, once the geometry is in range and every modulus at least 2.
const std::int32_t* Checked(const std::int32_t* values, int residues, int blockLength) {
    if (blockLength < 1 || blockLength > BlockTables::kMaxBlock || residues < blockLength ||
        residues > BlockTables::kMaxResidues)
        throw std::invalid_argument("block geometry out of range");
    for (int k = 0; k < residues; ++k)
        if (values[k] <= 1) throw std::domain_error("Division by zero");
    return values;
}

}  // namespace

BlockTables::BlockTables(const std::int32_t* values, int residueBytes, int length,
                         bool distinctModuli)
    : VectorLayout(Checked(values, residueBytes, length), residueBytes, length, distinctModuli) {
    for (int k = 0; k < residues; ++k) {
        const std::uint32_t p = moduli[k].value;
        std::uint32_t power256 = 1;
        for (int j = 0; j < blockLength; ++j) {
            power[j][k] = power256;
            power256 = power256 * 256 % p;
        }
    }
    std::array<std::uint32_t, kMaxResidues> values32{};
    for (int k = 0; k < residues; ++k)
        values32[k] = moduli[k].value;
    smallBlocks = SmallBlockFactors(values32.data(), residues, blockLength);
    if (!distinct) return;
    recombination = RecombinationTables(values32.data(), residues, blockLength);
}

}  // namespace kiv
