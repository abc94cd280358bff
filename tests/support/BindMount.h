#pragma once

#include <string>

#include "support/Process.h"
#include "support/TempFolder.h"

namespace kiv::testing {

// A view of the folder under through FUSE's bindfs, at over: the same files, on a device of its
// own, and no unnamed files (an output in progress has a name there). Unmounted with the object;
// Mounted() is false where bindfs or FUSE is missing, or the runner may not mount.
class BindMount {
  public:
    BindMount() {
        // bindfs stays behind as the mount's daemon: it must not hold a stream of the test's.
        mounted_ = Process({"bindfs", under.path.string(), path()})
                       .OutputTo("/dev/null")
                       .ErrorTo("/dev/null")
                       .Run()
                       .Exited(0) &&
                   Process({"mountpoint", "-q", path()}).Run().Exited(0);
    }
    ~BindMount() {
        if (mounted_) Process({"fusermount", "-u", path()}).Run();
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
