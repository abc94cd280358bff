#include "runtime/SecretWipe.h"

#include <alloca.h>
#include <string.h>

namespace kiv {

void WipeBytes(void* data, std::size_t size) noexcept {
    if (data != nullptr && size > 0) ::explicit_bzero(data, size);
}

// Not inlined, so that its frame lies where the caller's callees had theirs.
[[gnu::noinline]] void WipeStack(std::size_t size) noexcept {
    auto* area = static_cast<unsigned char*>(alloca(size));
    ::explicit_bzero(area, size);
    // Keeps the wipe from being seen as the last use of a dead area and left out.
    asm volatile("" : : "r"(area) : "memory");
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
