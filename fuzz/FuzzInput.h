#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kiv::fuzz {

// Cuts a fuzz input into fields, so that one input can carry a key and a text: a leading field
// is one length byte followed by that many bytes (fewer when the input ends first), and the
// last field is whatever remains. Every byte string is a valid input.
class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : data_(reinterpret_cast<const char*>(data)), size_(size) {}

    std::uint8_t Byte() { return at_ < size_ ? static_cast<std::uint8_t>(data_[at_++]) : 0; }

    std::string Field() {
        const std::size_t announced = Byte();
        const std::size_t length = std::min(announced, size_ - at_);
        std::string field(data_ + at_, length);
        at_ += length;
        return field;
    }

    std::string Rest() {
        std::string rest(data_ + at_, size_ - at_);
        at_ = size_;
        return rest;
    }

    // The writing side, for seed inputs: a leading field of at most 255 bytes.
    static std::string LeadingField(const std::string& bytes) {
        const std::size_t length = std::min<std::size_t>(bytes.size(), 255);
        return static_cast<char>(length) + bytes.substr(0, length);
    }

  private:
    const char* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace kiv::fuzz
