// Encrypt and decrypt of one 512-byte line and of the window's 10,000-line document (every line
// one call of the text cores, as the editor makes them), for key lengths 3, 8 and 17, with the
// key's codec (vector code where the processor has it), the portable codec and the literal
// workspace steps; and of generated documents of short lines (about 60 bytes) and long lines
// (4 kB) through the batches kiv-cli uses.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <string_view>
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

// The benchmark's second argument: the best set, the portable codec, the literal steps, or a
// vector kernel (one the processor lacks gives way to the one below it: kernel_report tells).
constexpr int kBest = 0;
constexpr int kPortable = 1;
constexpr int kLiteral = 2;
constexpr int kAvx2 = 3;
constexpr int kAvx512 = 4;

TextCoding CodingOf(const benchmark::State& state) {
    switch (state.range(1)) {
        case kPortable:
            return InstructionSet::Portable;
        case kLiteral:
            return TextCoding::Literal;
        case kAvx2:
            return InstructionSet::Avx2;
        case kAvx512:
            return InstructionSet::Avx512;
        default:
            return {};
    }
}

// Lines of words from a small vocabulary, about 60 bytes each, or 4096 bytes each; size bytes in
// all.
std::vector<std::string> WordLines(std::size_t size, std::size_t lineLength) {
    static const char* const kWords[] = {"the",    "of",     "and",      "to",        "in",
                                         "is",     "was",    "password", "file",      "block",
                                         "prime",  "number", "window",   "clipboard", "editor",
                                         "memory", "digit",  "carry",    "table",     "residue"};
    std::mt19937 rng(3);
    std::vector<std::string> lines;
    std::size_t total = 0;
    while (total < size) {
        std::string line;
        const std::size_t want = lineLength != 0 ? lineLength : 30 + rng() % 60;
        while (line.size() < want) {
            if (!line.empty()) line.push_back(' ');
            line += kWords[rng() % (sizeof kWords / sizeof kWords[0])];
        }
        line.resize(want);
        total += line.size() + 1;
        lines.push_back(std::move(line));
    }
    return lines;
}

void BM_EncryptLine512(benchmark::State& state) {
    CipherWorkspace ws(kClock);
    CharacterOrder order;
    BuildCharacterOrder(order);
    std::mt19937 rng(2);
    TextOperands op;
    op.CipherKey = KeyOfLength(static_cast<int>(state.range(0)));
    op.CipherInput = RandomLine(rng, 512);
    for (auto _ : state) {
        EncryptText(ws, order, op, CodingOf(state));
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
        DecryptText(ws, order, op, messages, CodingOf(state));
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
            EncryptText(ws, order, op, CodingOf(state));
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
            DecryptText(ws, order, op, messages, CodingOf(state));
            bytes += static_cast<std::int64_t>(op.CipherOutput.size());
        }
    }
    state.SetBytesProcessed(bytes);
}

// Whole documents as kiv-cli runs them: batches of lines, each line's cipher text followed by a
// line feed.
void BM_EncryptLines(benchmark::State& state) {
    CipherWorkspace ws(kClock);
    CharacterOrder order;
    BuildCharacterOrder(order);
    const std::vector<std::string> lines =
        WordLines(std::size_t{4} << 20, static_cast<std::size_t>(state.range(1)));
    const std::vector<std::string_view> views(lines.begin(), lines.end());
    const std::string key = KeyOfLength(static_cast<int>(state.range(0)));
    std::int64_t plainBytes = 0;
    for (const std::string& line : lines)
        plainBytes += static_cast<std::int64_t>(line.size()) + 1;
    constexpr std::size_t kBatch = 4096;
    std::string out;
    for (auto _ : state) {
        for (std::size_t first = 0; first < views.size(); first += kBatch) {
            const std::size_t count = std::min(kBatch, views.size() - first);
            out.clear();
            EncryptTexts(ws, order, key, &views[first], count, "\n", out);
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetBytesProcessed(state.iterations() * plainBytes);
}

void BM_DecryptLines(benchmark::State& state) {
    CipherWorkspace ws(kClock);
    CharacterOrder order;
    BuildCharacterOrder(order);
    const std::string key = KeyOfLength(static_cast<int>(state.range(0)));
    TextOperands op;
    op.CipherKey = key;
    std::vector<std::string> cipher;
    std::int64_t plainBytes = 0;
    for (const std::string& line :
         WordLines(std::size_t{4} << 20, static_cast<std::size_t>(state.range(1)))) {
        op.CipherInput = line;
        EncryptText(ws, order, op);
        cipher.push_back(op.CipherOutput);
        plainBytes += static_cast<std::int64_t>(line.size()) + 1;
    }
    const std::vector<std::string_view> views(cipher.begin(), cipher.end());
    constexpr std::size_t kBatch = 4096;
    std::vector<std::string> outputs(kBatch);
    std::unique_ptr<bool[]> decrypted(new bool[kBatch]);
    Null messages;
    for (auto _ : state) {
        for (std::size_t first = 0; first < views.size(); first += kBatch) {
            const std::size_t count = std::min(kBatch, views.size() - first);
            DecryptTexts(ws, order, key, &views[first], count, outputs.data(), decrypted.get(),
                         messages);
        }
        benchmark::DoNotOptimize(outputs.data());
    }
    state.SetBytesProcessed(state.iterations() * plainBytes);
}

void KeysAndCodings(benchmark::internal::Benchmark* b) {
    b->ArgNames({"key", "coding"});
    for (int coding : {kBest, kPortable, kLiteral, kAvx2, kAvx512})
        for (int key : {3, 8, 17})
            b->Args({key, coding});
}

void KeysAndLines(benchmark::internal::Benchmark* b) {
    b->ArgNames({"key", "line"});
    for (int line : {0, 4096})  // 0: short lines of 30..89 bytes
        for (int key : {3, 8, 17})
            b->Args({key, line});
}

BENCHMARK(BM_EncryptLine512)->Apply(KeysAndCodings);
BENCHMARK(BM_DecryptLine512)->Apply(KeysAndCodings);
// The editor's actions on the window's document: the figure to hold is the time per iteration.
BENCHMARK(BM_EncryptDocument)->Apply(KeysAndCodings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecryptDocument)->Apply(KeysAndCodings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncryptLines)->Apply(KeysAndLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecryptLines)->Apply(KeysAndLines)->Unit(benchmark::kMillisecond);

}  // namespace
