// Encrypt and restore of one 64 MiB file with passwords of 3, 8 and 23 bytes, through the same
// calls kiv-cli makes, on real files in a temporary folder (memory-backed where /dev/shm exists),
// with the best kernel (kiv-cli's) and with each vector kernel (those the processor lacks are
// skipped). Rates are per wall-clock second: the runs use more than one thread.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "residue/KernelRegistry.h"

namespace {

using namespace kiv;
namespace fs = std::filesystem;

struct Quiet : FileRunObserver {
    void AddLine(const ReportText&) override {}
    void ShowMessage(const ReportText&) override {}
    bool ConfirmStop(const std::string&, const std::string&) override { return true; }
};

constexpr std::int64_t kSize = 64 << 20;

const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path base =
            fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "kiv-bench-XXXXXX").string();
        fs::path made = mkdtemp(pattern.data());
        std::vector<char> bytes(static_cast<std::size_t>(kSize));
        std::mt19937_64 rng(1);
        for (std::size_t i = 0; i < bytes.size(); i += 8) {
            const std::uint64_t r = rng();
            std::memcpy(bytes.data() + i, &r, 8);
        }
        std::ofstream(made / "source.bin", std::ios::binary).write(bytes.data(), kSize);
        fs::create_directory(made / "out");
        return made;
    }();
    return folder;
}

// The benchmark's second argument: -1 for the best set (kiv-cli's), else an InstructionSet.
constexpr int kBest = -1;

// The run's settings for the benchmark's second argument; false when the processor lacks the
// kernel.
bool SpeedOf(benchmark::State& state, FileRunSpeed& speed) {
    if (state.range(1) != kBest) speed.kernel = static_cast<InstructionSet>(state.range(1));
    if (KernelRegistry::Runs(speed.kernel)) return true;
    state.SkipWithError(
        (std::string(KernelRegistry::Name(speed.kernel)) + ": not on this processor").c_str());
    return false;
}

std::string Password(std::int64_t length) {
    return std::string("benchmark-password-23by").substr(0, static_cast<std::size_t>(length));
}

void BM_EncryptFile64MiB(benchmark::State& state) {
    const fs::path dir = Folder();
    const std::string password = Password(state.range(0));
    FileRunSpeed speed;
    if (!SpeedOf(state, speed)) return;
    Quiet quiet;
    for (auto _ : state) {
        const auto result =
            EncryptFiles(password, {(dir / "source.bin").string()}, (dir / "box.vrq").string(),
                         quiet, SystemClock::Instance(), speed);
        if (!result.AllWritten()) state.SkipWithError("encryption failed");
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}

void BM_RestoreFile64MiB(benchmark::State& state) {
    const fs::path dir = Folder();
    const std::string password = Password(state.range(0));
    FileRunSpeed speed;
    if (!SpeedOf(state, speed)) return;
    Quiet quiet;
    EncryptFiles(password, {(dir / "source.bin").string()}, (dir / "box.vrq").string(), quiet);
    for (auto _ : state) {
        const auto result =
            DecryptFiles(password, (dir / "box.vrq").string(), quiet, (dir / "out").string() + "/",
                         SystemClock::Instance(), speed);
        if (!result.AllWritten()) state.SkipWithError("restore failed");
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}

void PasswordsAndKernels(benchmark::internal::Benchmark* b) {
    b->ArgNames({"password", "kernel"});
    for (const int kernel :
         {kBest, static_cast<int>(InstructionSet::Avx2), static_cast<int>(InstructionSet::Avx512)})
        for (const int length : {3, 8, 23})
            b->Args({length, kernel});
}

BENCHMARK(BM_EncryptFile64MiB)
    ->Apply(PasswordsAndKernels)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();
BENCHMARK(BM_RestoreFile64MiB)
    ->Apply(PasswordsAndKernels)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(Folder());
    return 0;
}
