#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "filecrypt/FileKey.h"
#include "numeric/Clock.h"
#include "residue/KeySchedule.h"
#include "residue/ResidueDecoding.h"
#include "residue/ResidueEncoding.h"

namespace kiv::testing {

inline void PutInt32(std::string& out, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>(u >> shift));
}

// A container built from the layout that filecrypt/ContainerFormat.h describes, independently
// of the code that writes it: header count, password block, then per entry its name, size, full
// blocks and the noised final block, every block through the workspace's ComputeResidues.
// Also for passwords that the file runs refuse (moduli that repeat), as another copy of the
// program may have written them. The stored containers of tests/data pin the same layout with
// known bytes.
inline std::string BuildContainer(const std::string& password,
                                  const std::vector<std::pair<std::string, std::string>>& files,
                                  const Clock& clock) {
    CipherWorkspace ws(clock);
    CopyText(ws.KeyText, password.data(), password.size());
    GeneratePrimes(ws, 55, 0);
    const int length = DerivePasswordPermutation(ws, 55);
    const int d = BlockPrimeCount(ws, length) + 1;
    std::string out;
    auto block = [&](const char* bytes) {
        for (int j = 1; j < d; ++j)
            ws.BlockValues[j] = j <= length ? static_cast<std::uint8_t>(bytes[j - 1]) : 0;
        ComputeResidues(ws, 256, d);
        for (int i = 2; i <= d; ++i)
            out.push_back(static_cast<char>(ws.Residues[i]));
    };
    PutInt32(out, d);
    block(password.data());
    PutInt32(out, static_cast<std::int32_t>(files.size()));
    for (const auto& [name, content] : files) {
        PutInt32(out, static_cast<std::int32_t>(name.size()));
        out += name;
        PutInt32(out, static_cast<std::int32_t>(content.size()));
        const std::size_t full = content.size() / length;
        for (std::size_t b = 0; b < full; ++b)
            block(content.data() + b * length);
        std::string last = content.substr(full * length);
        RandomState random;
        SeedGenerator(random, static_cast<std::uint32_t>(clock.ClockSeconds()));
        while (static_cast<int>(last.size()) < length)
            last.push_back(static_cast<char>(RandomBelow(random, 213) + 41));
        block(last.data());
    }
    return out;
}

// Whether the workspace's digit count leaves the top byte of this password's blocks to chance.
inline bool DigitCountEqualsLength(const std::string& password) {
    CipherWorkspace ws;
    const FileKey key = PrepareFileKey(ws, password);
    BuildWeightTable(ws, key.residueCount + 1);
    ReduceResidues(ws, key.residueCount + 1);
    ResiduesToMixedRadix(ws, key.residueCount + 1);
    MixedRadixToBytes(ws, 256, key.residueCount);
    return ws.ByteDigitCount == key.blockLength;
}

}  // namespace kiv::testing
