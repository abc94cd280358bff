#pragma once

#include <cstdlib>
#include <string>

#include "support/TempFolder.h"

namespace kiv::testing {

// A view of the folder under through FUSE's bindfs, at over: the same files, on a device of its
// own, and no unnamed files (an output in progress has a name there). Unmounted with the object;
// Mounted() is false where bindfs or FUSE is missing, or the runner may not mount.
class BindMount {
  public:
    BindMount() {
        mounted_ = std::system(("bindfs '" + under.path.string() + "' '" + path() +
                                "' >/dev/null 2>&1 && mountpoint -q '" + path() + "'")
                                   .c_str()) == 0;
    }
    ~BindMount() {
        if (mounted_) {
            [[maybe_unused]] const int ignored =
                std::system(("fusermount -u '" + path() + "'").c_str());
        }
    }
    BindMount(const BindMount&) = delete;
    BindMount& operator=(const BindMount&) = delete;
    bool Mounted() const { return mounted_; }
    std::string path() const { return over.path.string(); }

    TempFolder under, over;

  private:
    bool mounted_ = false;
};

}  // namespace kiv::testing
