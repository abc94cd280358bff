// Encrypt and decrypt of one 512-byte line and of a 10,000-line document, for key lengths 3, 8
// and 17. Every line is one complete cipher call with its own key schedule, as in the editor.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "cipher/TextCipher.h"
#include "support/FixedClock.h"

namespace {

using namespace kiv;

const FixedClock kClock(1700000000, LocalTime{2026, 12, 7, 10, 0, 0, 0});

std::string KeyOfLength(int length) {
    return std::string("benchmarkkeyforkiv").substr(0, length);
}

std::string RandomLine(std::mt19937& rng, std::size_t length) {
    std::string line;
    for (std::size_t i = 0; i < length; ++i)
        line.push_back(static_cast<char>(32 + rng() % 95));
    return line;
}

std::vector<std::string> Document() {
    std::mt19937 rng(1);
    std::vector<std::string> lines;
    for (int i = 0; i < 10000; ++i)
        lines.push_back(RandomLine(rng, rng() % 80));
    return lines;
}

struct Null : CipherMessages {
    void ShowMessage(const std::string&) override {}
};

void BM_EncryptLine512(benchmark::State& state) {
    CipherWorkspace ws(kClock);
    CharacterOrder order;
    BuildCharacterOrder(order);
    std::mt19937 rng(2);
    TextOperands op;
    op.CipherKey = KeyOfLength(static_cast<int>(state.range(0)));
    op.CipherInput = RandomLine(rng, 512);
    for (auto _ : state) {
        EncryptText(ws, order, op);
        benchmark::DoNotOptimize(op.CipherOutput.data());
    }
    state.SetBytesProcessed(state.iterations() * 512);
}

void BM_DecryptLine512(benchmark::State& state) {
    CipherWorkspace ws(kClock);
    CharacterOrder order;
    BuildCharacterOrder(order);
    std::mt19937 rng(2);
    TextOperands op;
    op.CipherKey = KeyOfLength(static_cast<int>(state.range(0)));
    op.CipherInput = RandomLine(rng, 512);
    EncryptText(ws, order, op);
    op.CipherInput = op.CipherOutput;
    Null messages;
    for (auto _ : state) {
        DecryptText(ws, order, op, messages);
        benchmark::DoNotOptimize(op.CipherOutput.data());
    }
    state.SetBytesProcessed(state.iterations() * 512);
}

void BM_EncryptDocument(benchmark::State& state) {
    CipherWorkspace ws(kClock);
    CharacterOrder order;
    BuildCharacterOrder(order);
    const std::vector<std::string> lines = Document();
    TextOperands op;
    op.CipherKey = KeyOfLength(static_cast<int>(state.range(0)));
    std::int64_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& line : lines) {
            op.CipherInput = line;
            EncryptText(ws, order, op);
            bytes += static_cast<std::int64_t>(line.size());
        }
    }
    state.SetBytesProcessed(bytes);
}

void BM_DecryptDocument(benchmark::State& state) {
    CipherWorkspace ws(kClock);
    CharacterOrder order;
    BuildCharacterOrder(order);
    TextOperands op;
    op.CipherKey = KeyOfLength(static_cast<int>(state.range(0)));
    std::vector<std::string> cipher;
    for (const std::string& line : Document()) {
        op.CipherInput = line;
        EncryptText(ws, order, op);
        cipher.push_back(op.CipherOutput);
    }
    Null messages;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& line : cipher) {
            op.CipherInput = line;
            DecryptText(ws, order, op, messages);
            bytes += static_cast<std::int64_t>(op.CipherOutput.size());
        }
    }
    state.SetBytesProcessed(bytes);
}

BENCHMARK(BM_EncryptLine512)->Arg(3)->Arg(8)->Arg(17);
BENCHMARK(BM_DecryptLine512)->Arg(3)->Arg(8)->Arg(17);
BENCHMARK(BM_EncryptDocument)->Arg(3)->Arg(8)->Arg(17)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecryptDocument)->Arg(3)->Arg(8)->Arg(17)->Unit(benchmark::kMillisecond);

}  // namespace
