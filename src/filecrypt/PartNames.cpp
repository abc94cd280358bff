#include "filecrypt/PartNames.h"

#include <algorithm>

namespace kiv {

namespace {

constexpr char kPartMark[] = ".part-";
constexpr char kOfMark[] = "-of-";

std::string Padded(std::int64_t value, std::size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

// value from digits, all of them decimal, or -1.
std::int64_t Number(const std::string& digits) {
    if (digits.empty() || digits.size() > 18 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::stoll(digits);
}

}  // namespace

std::string PartName(const std::string& whole, std::int64_t number, std::int64_t count) {
    const std::size_t width = std::max<std::size_t>(kPartDigits, std::to_string(count).size());
    return whole + kPartMark + Padded(number, width) + kOfMark + Padded(count, width);
}

std::optional<PartOf> PartOfName(const std::string& name) {
    const auto part = name.rfind(kPartMark);
    if (part == std::string::npos || part == 0) return std::nullopt;
    const auto numbers = part + sizeof kPartMark - 1;
    const auto of = name.find(kOfMark, numbers);
    if (of == std::string::npos) return std::nullopt;
    const std::string first = name.substr(numbers, of - numbers);
    const std::string second = name.substr(of + sizeof kOfMark - 1);
    PartOf result{name.substr(0, part), Number(first), Number(second)};
    if (first.size() != second.size() || result.number < 1 || result.count < 2 ||
        result.number > result.count || PartName(result.whole, result.number, result.count) != name)
        return std::nullopt;
    return result;
}

}  // namespace kiv
