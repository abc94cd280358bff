#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kiv::fuzz {

// A broken promise found by a fuzz target: says which, then aborts, which both libFuzzer and the
// replay report as a crash (libFuzzer then saves the input).
inline void Check(bool holds, const std::string& promise) {
    if (holds) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", promise.c_str());
    std::abort();
}

}  // namespace kiv::fuzz
