// Encrypt and restore of one 64 MiB file with passwords of 3, 8 and 23 bytes, through the same
// calls kiv-cli makes, on real files in a temporary folder (memory-backed where /dev/shm exists).
// Rates are per wall-clock second: the runs use more than one thread.
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

std::string Password(std::int64_t length) {
    return std::string("benchmark-password-23by").substr(0, static_cast<std::size_t>(length));
}

void BM_EncryptFile64MiB(benchmark::State& state) {
    const fs::path dir = Folder();
    const std::string password = Password(state.range(0));
    Quiet quiet;
    for (auto _ : state) {
        const auto result = EncryptFiles(password, {(dir / "source.bin").string()},
                                         (dir / "box.vrq").string(), quiet);
        if (!result.AllWritten()) state.SkipWithError("encryption failed");
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}

void BM_RestoreFile64MiB(benchmark::State& state) {
    const fs::path dir = Folder();
    const std::string password = Password(state.range(0));
    Quiet quiet;
    EncryptFiles(password, {(dir / "source.bin").string()}, (dir / "box.vrq").string(), quiet);
    for (auto _ : state) {
        const auto result =
            DecryptFiles(password, (dir / "box.vrq").string(), quiet, (dir / "out").string() + "/");
        if (!result.AllWritten()) state.SkipWithError("restore failed");
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}

BENCHMARK(BM_EncryptFile64MiB)
    ->Arg(3)
    ->Arg(8)
    ->Arg(23)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();
BENCHMARK(BM_RestoreFile64MiB)
    ->Arg(3)
    ->Arg(8)
    ->Arg(23)
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
