#include "residue/KernelRegistry.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "residue/PortableBlockKernel.h"
#include "residue/internal/Avx2BlockKernel.h"
#include "residue/internal/Avx2Residues.h"
#include "residue/internal/Avx2TextKernel.h"
#include "residue/internal/Avx512BlockKernel.h"
#include "residue/internal/Avx512Residues.h"
#include "residue/internal/Avx512TextKernel.h"
#include "residue/internal/PortableTextKernel.h"

namespace kiv {

namespace {

constexpr ResidueKernel kPortable{
    .set = InstructionSet::Portable,
    .encodeBlocks = PortableBlockKernel::Encode,
    .decodeBlocks = PortableBlockKernel::Decode,
    .textResidues = PortableTextKernel::Residues,
    .textNoise = PortableTextKernel::Noise,
    .pairValues = PortableTextKernel::PairValues,
    .textDecode = PortableTextKernel::Decode,
};

#ifdef KIV_HAVE_AVX2_RESIDUES

// The vector kernels start every block's noise from the seed's starts; the lookup rows of the
// portable code stay unmade.
void Avx2Noise(const TextBlockTables& tables, TextNoise& noise, const std::uint8_t* residues,
               std::size_t count, std::uint32_t* chain, char* out, const std::uint32_t* at) {
    Avx2TextKernel::Noise(tables, noise.base.data(), residues, count, chain, out, at);
}

// The vector kernels stop at the first character outside the alphabet; the portable code then
// makes every value again and reduces them.
template <bool (*kVector)(const TextBlockTables&, const char*, std::size_t, std::uint16_t*)>
bool PairValues(const TextBlockTables& tables, const char* chars, std::size_t pairs,
                std::uint16_t* values) {
    return kVector(tables, chars, pairs, values) ||
           PortableTextKernel::PairValues(tables, chars, pairs, values);
}

constexpr ResidueKernel kAvx2{
    .set = InstructionSet::Avx2,
    .encodeBlocks = Avx2BlockKernel::Encode,
    .decodeBlocks = Avx2BlockKernel::Decode,
    .textResidues = Avx2TextKernel::Residues,
    .textNoise = Avx2Noise,
    .pairValues = PairValues<Avx2TextKernel::PairValues>,
    .textDecode = Avx2TextKernel::Decode,
};

#endif

#ifdef KIV_HAVE_AVX512_RESIDUES

// AVX-512 codes the noise of keys of up to 8 moduli four blocks to a register, once a run has
// enough blocks for its streams; longer keys and shorter runs keep the AVX2 code.
void Avx512Noise(const TextBlockTables& tables, TextNoise& noise, const std::uint8_t* residues,
                 std::size_t count, std::uint32_t* chain, char* out, const std::uint32_t* at) {
    if (!Avx512TextKernel::Noise(tables, noise.base.data(), residues, count, chain, out, at))
        Avx2Noise(tables, noise, residues, count, chain, out, at);
}

constexpr ResidueKernel kAvx512{
    .set = InstructionSet::Avx512,
    .encodeBlocks = Avx512BlockKernel::Encode,
    .decodeBlocks = Avx512BlockKernel::Decode,
    .textResidues = Avx512TextKernel::Residues,
    .textNoise = Avx512Noise,
    .pairValues = PairValues<Avx512TextKernel::PairValues>,
    .textDecode = Avx512TextKernel::Decode,
};

#endif

// The table of set's code, nullptr where this build has none (other processors than x86).
const ResidueKernel* TableOf(InstructionSet set) {
    switch (set) {
        case InstructionSet::Portable:
            return &kPortable;
#ifdef KIV_HAVE_AVX2_RESIDUES
        case InstructionSet::Avx2:
            return &kAvx2;
#endif
#ifdef KIV_HAVE_AVX512_RESIDUES
        case InstructionSet::Avx512:
            return &kAvx512;
#endif
        default:
            return nullptr;
    }
}

bool Detected(InstructionSet set) {
    switch (set) {
        case InstructionSet::Avx2:
            return avx2::Available();
        case InstructionSet::Avx512:
            return avx512::Available();
        default:
            return true;
    }
}

// The vector sets, from the best down.
constexpr InstructionSet kFromTheBest[] = {InstructionSet::Avx512, InstructionSet::Avx2};

}  // namespace

bool KernelRegistry::Runs(InstructionSet set) {
    return set <= Ceiling() && TableOf(set) != nullptr && Detected(set);
}

InstructionSet KernelRegistry::Ceiling() {
    static const InstructionSet ceiling = CeilingOf(std::getenv("KIV_INSTRUCTION_SET"));
    return ceiling;
}

InstructionSet KernelRegistry::CeilingOf(const char* value) {
    const std::string_view name = value == nullptr ? "" : value;
    for (const InstructionSet set : {InstructionSet::Portable, InstructionSet::Avx2})
        if (name == Name(set)) return set;
    return InstructionSet::Avx512;
}

InstructionSet KernelRegistry::Best() {
    static const InstructionSet best = Offered().back();
    return best;
}

const std::vector<InstructionSet>& KernelRegistry::Offered() {
    static const std::vector<InstructionSet> offered = [] {
        std::vector<InstructionSet> sets;
        for (const InstructionSet set :
             {InstructionSet::Portable, InstructionSet::Avx2, InstructionSet::Avx512})
            if (Runs(set)) sets.push_back(set);
        return sets;
    }();
    return offered;
}

const char* KernelRegistry::Name(InstructionSet set) {
    switch (set) {
        case InstructionSet::Portable:
            return "portable";
        case InstructionSet::Avx2:
            return "avx2";
        case InstructionSet::Avx512:
            return "avx512";
    }
    return "?";
}

const ResidueKernel& KernelRegistry::For(InstructionSet set, const BlockTables& tables) {
    return Choose(set, tables.vectorFit, Offered());
}

const ResidueKernel& KernelRegistry::For(InstructionSet set, const TextBlockTables& tables) {
    return Choose(set, tables.vectorFit && tables.standardOrder, Offered());
}

const ResidueKernel& KernelRegistry::Choose(InstructionSet asked, bool vectorCode,
                                            const std::vector<InstructionSet>& offered) {
    if (!vectorCode) return kPortable;
    for (const InstructionSet set : kFromTheBest) {
        const bool isOffered = std::find(offered.begin(), offered.end(), set) != offered.end();
        if (set <= asked && isOffered && TableOf(set) != nullptr) return *TableOf(set);
    }
    return kPortable;
}

}  // namespace kiv
