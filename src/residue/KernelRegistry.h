#pragma once

#include <vector>

#include "residue/BlockTables.h"
#include "residue/InstructionSet.h"
#include "residue/ResidueKernel.h"
#include "residue/TextBlockTables.h"

namespace kiv {

// Which kernels this processor runs, and the one place that decides which kernel codes a key's
// blocks: the set asked for where the processor runs it and the key's tables suit its code,
// otherwise the next set down, AVX-512 giving way to AVX2 and AVX2 to the portable code. The
// processor is asked once, at the first call.
//
// KIV_INSTRUCTION_SET ("portable", "avx2") makes the process run as on a processor without the
// sets above the one named, to time and test that processor's code on this one; it never adds a
// set the processor lacks. It is read once, with the processor.
class KernelRegistry {
  public:
    // Whether this processor runs set's code (the portable code always), within the ceiling.
    static bool Runs(InstructionSet set);
    // The highest set this process may run: the one KIV_INSTRUCTION_SET names, the highest of
    // all when it is unset or names none.
    static InstructionSet Ceiling();
    // The ceiling a value of KIV_INSTRUCTION_SET puts (nullptr when unset).
    static InstructionSet CeilingOf(const char* value);
    // The best set this processor runs: what kiv and kiv-cli code with.
    static InstructionSet Best();
    // Every set this processor runs, the portable code first and the best last.
    static const std::vector<InstructionSet>& Offered();
    // "portable", "avx2", "avx512".
    static const char* Name(InstructionSet set);

    // The kernel that codes a file key's blocks when set is asked for. The vector kernels need
    // the tables' moduli within VectorLayout::kVectorModulusLimit.
    static const ResidueKernel& For(InstructionSet set, const BlockTables& tables);
    // The kernel that codes a text key's blocks when set is asked for. The vector kernels write
    // and read the standard alphabet only.
    static const ResidueKernel& For(InstructionSet set, const TextBlockTables& tables);

    // The decision itself, for a processor that runs the sets offered: the set asked for where
    // it is offered and vectorCode (the tables suit the vector code), otherwise the best offered
    // set below it, and the portable code when none is or the tables suit no vector code.
    static const ResidueKernel& Choose(InstructionSet set, bool vectorCode,
                                       const std::vector<InstructionSet>& offered);
};

}  // namespace kiv
