#pragma once

#include <cstdint>
#include <string>

namespace kiv {

class SourceFeed;

// How an encryption treats a source larger than one stored file can hold. By default it is
// refused (the window). With a bound, such a source is stored as consecutive entries of at most
// bound bytes each, named by PartName, so that a restore to standard output joins them again.
struct SourceParts {
    std::int64_t bound = 0;  // 0: refuse; else at most kLargestEntry
    // The source at fedPath arrives part by part from feed, and the container's file count and
    // the parts' names are written when the last part is known: the output must be able to go
    // back (a file, not a pipe).
    std::string fedPath;
    SourceFeed* feed = nullptr;
};

}  // namespace kiv
