#include "cli/StandardInputParts.h"

#include <cerrno>

namespace kiv {

bool StandardInputParts::NextPart(std::int64_t bound, std::int64_t& size, bool& last) {
    problem_ = store_.HoldPart(fd_, bound, size, last);
    if (problem_.empty()) return true;
    // The problem names the failure; the run only needs to know there was one.
    errno = EIO;
    return false;
}

}  // namespace kiv
