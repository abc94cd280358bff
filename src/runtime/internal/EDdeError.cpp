#include "runtime/internal/EDdeError.h"

#include <cstdio>
#include <string>

namespace kiv {

namespace {

std::string MessageFor(std::uint32_t code) {
    // "$0" followed by the code in upper-case hexadecimal, as the messages always read.
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(code));
    const std::string shown = std::string("($0") + hex + ")";
    switch (code) {
        case EDdeError::kLowMemory:
        case EDdeError::kMemoryError:
            return "Error occurred when DDE ran out of memory " + shown;
        case EDdeError::kNoConvEstablished:
            return "DDE Error - conversation not established " + shown;
        default:
            return "An error returned from DDE  " + shown;  // two blanks, as it always read
    }
}

}  // namespace

EDdeError::EDdeError(std::uint32_t code) : std::runtime_error(MessageFor(code)), code_(code) {}

}  // namespace kiv
