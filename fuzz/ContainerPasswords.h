#pragma once

namespace kiv::fuzz {

// The passwords the container targets try every input with: the shortest length, a common one
// and the longest, so that each input's header count finds the block length it was written
// with.
inline constexpr const char* kContainerPasswords[] = {"abc", "password", "twenty-three characters"};

}  // namespace kiv::fuzz
