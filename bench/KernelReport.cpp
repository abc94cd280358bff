// Names the kernels a run of kiv or kiv-cli codes with on this processor, for the peer
// comparisons' reports: "block kernel: avx512" and "text kernel: avx512" (or avx2, portable).
#include <cstdio>

#include "cipher/TextBlockCodec.h"
#include "filecrypt/BlockCodec.h"

int main() {
    using namespace kiv;
    const TextKernel text = TextBlockCodec::BestKernel();
    std::printf("block kernel: %s\n", KernelName(BlockCodec::BestKernel()));
    std::printf("text kernel: %s\n", text == TextKernel::Avx512 ? "avx512"
                                     : text == TextKernel::Avx2 ? "avx2"
                                                                : "portable");
    return 0;
}
