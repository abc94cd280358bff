#include "runtime/SecretWipe.h"

#include <string.h>

namespace kiv {

void WipeBytes(void* data, std::size_t size) noexcept {
    if (data != nullptr && size > 0) ::explicit_bzero(data, size);
}

void WipeText(std::string& text) noexcept {
    // Resizing within the capacity neither moves nor reallocates the buffer.
    text.resize(text.capacity());
    WipeBytes(text.data(), text.size());
    text.clear();
}

void WipeText(std::vector<char>& bytes) noexcept {
    bytes.resize(bytes.capacity());
    WipeBytes(bytes.data(), bytes.size());
    bytes.clear();
}

}  // namespace kiv
