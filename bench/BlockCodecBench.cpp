// The block codec alone, on one core: bytes of plain text per second, encoding and decoding,
// for block lengths 3, 8, 17 and 23, with each kernel (those the processor lacks are skipped).
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "filecrypt/BlockCodec.h"
#include "filecrypt/FileKey.h"
#include "residue/KernelRegistry.h"

namespace {

using namespace kiv;

constexpr std::size_t kPlainBytes = 256 << 10;  // stays in the core's caches

struct Setup {
    CipherWorkspace ws;
    FileKey key;
    std::vector<std::uint8_t> plain, coded;
    std::size_t blocks = 0;

    explicit Setup(std::int64_t length) {
        const std::string password =
            std::string("benchmark-password-23by").substr(0, static_cast<std::size_t>(length));
        key = PrepareFileKey(ws, password);
        blocks = kPlainBytes / static_cast<std::size_t>(key.blockLength);
        plain.resize(blocks * static_cast<std::size_t>(key.blockLength));
        coded.resize(blocks * static_cast<std::size_t>(key.ResidueBytes()));
        std::mt19937 rng(1);
        for (auto& b : plain)
            b = static_cast<std::uint8_t>(rng());
    }
};

bool Skipped(benchmark::State& state, InstructionSet kernel) {
    if (KernelRegistry::Runs(kernel)) return false;
    state.SkipWithError(
        (std::string(KernelRegistry::Name(kernel)) + ": not on this processor").c_str());
    return true;
}

void Encode(benchmark::State& state, InstructionSet kernel) {
    if (Skipped(state, kernel)) return;
    Setup s(state.range(0));
    const BlockCodec codec(s.ws, s.key, kernel);
    for (auto _ : state) {
        codec.EncodeBlocks(s.plain.data(), s.blocks, s.coded.data());
        benchmark::DoNotOptimize(s.coded.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(s.plain.size()));
    state.counters["d"] = s.key.residueCount;
}

void Decode(benchmark::State& state, InstructionSet kernel) {
    if (Skipped(state, kernel)) return;
    Setup s(state.range(0));
    BlockCodec codec(s.ws, s.key, kernel);
    codec.EncodeBlocks(s.plain.data(), s.blocks, s.coded.data());
    for (auto _ : state) {
        codec.DecodeBlocks(s.coded.data(), s.blocks, s.plain.data());
        benchmark::DoNotOptimize(s.plain.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(s.plain.size()));
    state.counters["d"] = s.key.residueCount;
}

void BM_EncodeBest(benchmark::State& state) {
    Encode(state, KernelRegistry::Best());
}
void BM_DecodeBest(benchmark::State& state) {
    Decode(state, KernelRegistry::Best());
}
void BM_EncodeAvx512(benchmark::State& state) {
    Encode(state, InstructionSet::Avx512);
}
void BM_DecodeAvx512(benchmark::State& state) {
    Decode(state, InstructionSet::Avx512);
}
void BM_EncodeAvx2(benchmark::State& state) {
    Encode(state, InstructionSet::Avx2);
}
void BM_DecodeAvx2(benchmark::State& state) {
    Decode(state, InstructionSet::Avx2);
}
void BM_EncodePortable(benchmark::State& state) {
    Encode(state, InstructionSet::Portable);
}
void BM_DecodePortable(benchmark::State& state) {
    Decode(state, InstructionSet::Portable);
}

BENCHMARK(BM_EncodeBest)->Arg(3)->Arg(8)->Arg(17)->Arg(23);
BENCHMARK(BM_DecodeBest)->Arg(3)->Arg(8)->Arg(17)->Arg(23);
BENCHMARK(BM_EncodeAvx512)->Arg(3)->Arg(8)->Arg(17)->Arg(23);
BENCHMARK(BM_DecodeAvx512)->Arg(3)->Arg(8)->Arg(17)->Arg(23);
BENCHMARK(BM_EncodeAvx2)->Arg(3)->Arg(8)->Arg(17)->Arg(23);
BENCHMARK(BM_DecodeAvx2)->Arg(3)->Arg(8)->Arg(17)->Arg(23);
BENCHMARK(BM_EncodePortable)->Arg(3)->Arg(8)->Arg(17)->Arg(23);
BENCHMARK(BM_DecodePortable)->Arg(3)->Arg(8)->Arg(17)->Arg(23);

}  // namespace

BENCHMARK_MAIN();
