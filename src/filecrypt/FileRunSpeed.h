#pragma once

#include <cstdint>

#include "residue/InstructionSet.h"
#include "residue/KernelRegistry.h"

namespace kiv {

// How a file run spends the machine. What it writes never depends on any of this; tests turn
// the parts off, or make chunks small, to compare and to reach every path with small files.
struct FileRunSpeed {
    // The instruction set asked for; the kernels are those KernelRegistry gives for it.
    InstructionSet kernel = KernelRegistry::Best();
    // Threads coding blocks, the run's own included: 0 for one per processor, 1 for the run's
    // thread alone.
    int threads = 0;
    // Blocks are read, coded and written this many bytes at a time (counted on the wider side),
    // the next chunk being read while the current one is coded.
    std::int64_t chunkBytes = 2 << 20;
    // Entries smaller than this are coded on the run's thread alone: starting a thread would
    // cost more than it saves.
    std::int64_t parallelFrom = 8 << 20;
    // A restore's files wait, complete and unnamed, to be put on the disk and named together:
    // up to this many at once (fewer where the process may open fewer descriptors, since each
    // holds one) and up to this many bytes. One flush of the disk per batch instead of one per
    // file.
    std::int64_t batchFiles = 4096;
    std::int64_t batchBytes = 64 << 20;
};

}  // namespace kiv
