// Names the kernels a run of kiv or kiv-cli codes with on this processor, for the peer
// comparisons' reports: "block kernel: avx512" and "text kernel: avx512" (or avx2, portable).
#include <cstdio>

#include "residue/KernelRegistry.h"

int main() {
    using namespace kiv;
    // One registry picks both: the file runs' blocks and the texts' go through the same set.
    const char* const best = KernelRegistry::Name(KernelRegistry::Best());
    std::printf("block kernel: %s\n", best);
    std::printf("text kernel: %s\n", best);
    return 0;
}
