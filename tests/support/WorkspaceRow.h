#pragma once

#include <vector>

#include "residue/CipherWorkspace.h"

namespace kiv::testing {

// Entries first to last of a workspace row, to compare with a written-out list.
inline std::vector<int> Row(const CipherWorkspace::Row& row, int first, int last) {
    return std::vector<int>(row.begin() + first, row.begin() + last + 1);
}

}  // namespace kiv::testing
