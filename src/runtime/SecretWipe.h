#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kiv {

// Overwrites size bytes at data with zeros in a way the compiler may not leave out, even when
// the memory is freed right after.
void WipeBytes(void* data, std::size_t size) noexcept;

// Overwrites size bytes of the stack below the caller's frame, where the functions it has called
// kept their locals (a block they decoded, say), as libsodium's sodium_stackzero does.
void WipeStack(std::size_t size) noexcept;

// Wipes the whole of text's buffer, the room past its size included (a shorter text may have
// been held there before), and leaves it empty.
void WipeText(std::string& text) noexcept;
void WipeText(std::vector<char>& bytes) noexcept;

}  // namespace kiv
