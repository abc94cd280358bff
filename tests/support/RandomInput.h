#pragma once

#include <random>
#include <string>

namespace kiv::testing {

inline std::string RandomBytes(std::mt19937& rng, std::size_t size) {
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(rng());
    return bytes;
}

// A password of 3 to longest bytes, none of them NUL: ASCII, or with highBytes any byte.
inline std::string RandomPassword(std::mt19937& rng, int longest, bool highBytes) {
    const int length = 3 + static_cast<int>(rng() % static_cast<unsigned>(longest - 2));
    std::string password;
    for (int i = 0; i < length; ++i)
        password.push_back(static_cast<char>(highBytes ? 1 + rng() % 255 : 1 + rng() % 127));
    return password;
}

}  // namespace kiv::testing
