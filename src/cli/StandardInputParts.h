#pragma once

#include <cstdint>
#include <string>

#include "cli/StreamFileStore.h"
#include "filecrypt/SourceFeed.h"

namespace kiv {

// Standard input fed to an encryption part by part: each part is held in the store's temporary
// file in place of the one before, so that a stream of any size needs room for one part only.
class StandardInputParts final : public SourceFeed {
  public:
    StandardInputParts(StreamFileStore& store, int fd) : store_(store), fd_(fd) {}
    bool NextPart(std::int64_t bound, std::int64_t& size, bool& last) override;
    // What failed and why, when a part could not be read or held; else "".
    const std::string& Problem() const { return problem_; }

  private:
    StreamFileStore& store_;
    int fd_;
    std::string problem_;
};

}  // namespace kiv
