#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace kiv {

// The most bytes one stored file holds: its size is a signed 32-bit field.
inline constexpr std::int64_t kLargestEntry = std::numeric_limits<std::int32_t>::max();

// Parts in a count of unknown size are numbered with this many digits, which the count is
// written with when it is known at the end.
inline constexpr int kPartDigits = 3;

// The name of part number (from 1) of count of a file named whole: "big.tar.part-002-of-003".
// Both numbers have the same width, at least kPartDigits, so that the parts sort in their order
// (cat big.tar.part-* > big.tar) and no part can be taken for the whole file.
std::string PartName(const std::string& whole, std::int64_t number, std::int64_t count);

// What a stored name says of the part it is.
struct PartOf {
    std::string whole;
    std::int64_t number = 0;
    std::int64_t count = 0;
};

// The part name names, or nothing when it is no part's name as PartName writes them.
std::optional<PartOf> PartOfName(const std::string& name);

}  // namespace kiv
