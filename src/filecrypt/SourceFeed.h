#pragma once

#include <cstdint>

namespace kiv {

// A source that arrives while the run goes (kiv-cli's standard input) and is stored as parts:
// the run takes each part just before it stores it, so that only one part is held at a time.
class SourceFeed {
  public:
    virtual ~SourceFeed() = default;
    // Makes the source's path hold its next part, at most bound bytes, and says its size and
    // whether anything follows it. False (errno set) when the source cannot be read or held.
    virtual bool NextPart(std::int64_t bound, std::int64_t& size, bool& last) = 0;
};

}  // namespace kiv
