#pragma once

#include <string>

#include "residue/CipherWorkspace.h"

namespace kiv {

inline constexpr int kShortestFilePassword = 3;
inline constexpr int kLongestFilePassword = 23;

// The geometry a password gives a container: block length L (the password's length) and
// residue count d, each block being stored as d - 1 residue bytes.
struct FileKey {
    int blockLength = 0;
    int residueCount = 0;
    bool distinctModuli = true;  // false: blocks written with this key could never be restored
    int ResidueBytes() const { return residueCount - 1; }
};

// Runs the file runs' key schedule on ws (55 primes) for a password of 3..23 bytes and returns
// its geometry. The password is also kept in AuxText, as the runs always did.
FileKey PrepareFileKey(CipherWorkspace& ws, const std::string& password);

}  // namespace kiv
