#pragma once

namespace kiv {

// The instruction sets the engine's kernels are written for, from the one every processor runs
// up: the portable code, AVX2, and AVX-512 (F, BW, VL and VNNI). All give the same bytes;
// KernelRegistry says which this processor runs and which kernel codes a key's blocks.
enum class InstructionSet { Portable, Avx2, Avx512 };

}  // namespace kiv
