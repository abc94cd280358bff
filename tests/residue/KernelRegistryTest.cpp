#include "residue/KernelRegistry.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace kiv {
namespace {

constexpr InstructionSet kEverySet[] = {InstructionSet::Portable, InstructionSet::Avx2,
                                        InstructionSet::Avx512};

// The processor's features as the kernel of the system reports them, which is where it says
// whether it saves the wide registers too.
std::set<std::string> CpuFlags() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("flags", 0) != 0) continue;
        std::istringstream words(line.substr(line.find(':') + 1));
        return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
    }
    return {};
}

TEST(KernelRegistry, OffersTheSetsTheProcessorReports) {
    const std::set<std::string> flags = CpuFlags();
    const auto has = [&](const char* flag) { return flags.count(flag) != 0; };
    // KIV_INSTRUCTION_SET may set a ceiling on what the processor has.
    const auto within = [](InstructionSet set) { return set <= KernelRegistry::Ceiling(); };
    EXPECT_TRUE(KernelRegistry::Runs(InstructionSet::Portable));
    EXPECT_EQ(KernelRegistry::Runs(InstructionSet::Avx2),
              has("avx2") && within(InstructionSet::Avx2));
    EXPECT_EQ(KernelRegistry::Runs(InstructionSet::Avx512),
              has("avx512f") && has("avx512bw") && has("avx512vl") && has("avx512_vnni") &&
                  within(InstructionSet::Avx512));
    std::vector<InstructionSet> running;
    for (const InstructionSet set : kEverySet) {
        const bool runs = KernelRegistry::Runs(set);
        std::cout << KernelRegistry::Name(set)
                  << " kernel: " << (runs ? "on this processor" : "not on this processor") << "\n";
        if (runs) running.push_back(set);
    }
    EXPECT_EQ(KernelRegistry::Offered(), running);
    EXPECT_EQ(KernelRegistry::Best(), running.back());
}

TEST(KernelRegistry, TheEnvironmentSetsACeilingByName) {
    using enum InstructionSet;
    const std::pair<const char*, InstructionSet> rows[] = {
        {"portable", Portable}, {"avx2", Avx2},   {"avx512", Avx512}, {nullptr, Avx512},
        {"", Avx512},           {"AVX2", Avx512}, {"avx2 ", Avx512},  {"sse4", Avx512},
    };
    for (const auto& [value, ceiling] : rows)
        EXPECT_EQ(KernelRegistry::CeilingOf(value), ceiling) << (value ? value : "(unset)");
}

// The standard alphabet ("0"-"9", "A"-"Z", "a"-"z" as digits 0..61, every other byte after
// them), or one with two digits swapped.
struct Alphabet {
    explicit Alphabet(bool standard) {
        const std::string digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        int next = 0;
        for (const char c : digits)
            order[next++] = static_cast<std::uint8_t>(c);
        for (int c = 0; c < 256; ++c)
            if (digits.find(static_cast<char>(c)) == std::string::npos)
                order[next++] = static_cast<std::uint8_t>(c);
        if (!standard) std::swap(order[0], order[1]);
        for (int d = 0; d < 256; ++d)
            index[order[d]] = static_cast<std::uint8_t>(d);
    }
    std::array<std::uint8_t, 256> order{};
    std::array<std::uint8_t, 256> index{};
};

// The one decision, for processors with and without each set: a set asked for codes the blocks
// where the processor runs it and the tables suit the vector code, the best set below it that
// runs otherwise, and the portable code for tables the vector code cannot take.
TEST(KernelRegistry, AskedSetsGiveWayToTheBestBelowThatRuns) {
    using enum InstructionSet;
    struct Row {
        InstructionSet asked;
        std::vector<InstructionSet> offered;
        bool vectorCode;
        InstructionSet chosen;
    };
    const Row rows[] = {
        {Avx512, {Portable, Avx2, Avx512}, true, Avx512},
        {Avx512, {Portable, Avx2}, true, Avx2},
        {Avx512, {Portable}, true, Portable},
        {Avx2, {Portable, Avx2, Avx512}, true, Avx2},
        {Avx2, {Portable}, true, Portable},
        {Portable, {Portable, Avx2, Avx512}, true, Portable},
        {Avx512, {Portable, Avx2, Avx512}, false, Portable},
        {Avx2, {Portable, Avx2}, false, Portable},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(KernelRegistry::Choose(row.asked, row.vectorCode, row.offered).set, row.chosen)
            << KernelRegistry::Name(row.asked) << " asked of " << row.offered.size()
            << " sets, vector code " << row.vectorCode;
    }
}

// Real tables decide by what they suit: file moduli past the vector code's limit and texts in
// another alphabet keep the portable code, the others take the set asked for.
TEST(KernelRegistry, TablesTheVectorCodeCannotTakeKeepThePortableCode) {
    const std::int32_t file[] = {241, 239, 233, 229, 227, 223, 211, 199, 197, 193, 191, 181};
    const std::int32_t large[] = {263, 269, 271, 277, 281, 283, 293, 307, 311, 313, 317, 331};
    const std::int32_t text[] = {181, 179, 173, 167, 163, 157, 151, 149, 139};
    const Alphabet standard(true), swapped(false);
    const InstructionSet best = KernelRegistry::Best();
    using Tables = TextBlockTables;
    EXPECT_EQ(KernelRegistry::For(best, BlockTables(file, 12, 8, true)).set, best);
    EXPECT_EQ(KernelRegistry::For(best, Tables(text, 9, 5, standard.order, standard.index)).set,
              best);
    EXPECT_EQ(KernelRegistry::For(best, BlockTables(large, 12, 8, true)).set,
              InstructionSet::Portable);
    EXPECT_EQ(KernelRegistry::For(best, Tables(text, 9, 5, swapped.order, swapped.index)).set,
              InstructionSet::Portable);
}

}  // namespace
}  // namespace kiv
