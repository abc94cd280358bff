#pragma once

#include <string>

#include "support/Process.h"
#include "support/TempFolder.h"

namespace kiv::testing {

// A FAT image mounted through FUSE (fusefat), as a red team met a folder that ignores letter
// case, hands out a new inode for every spelling of a name and keeps a removed file that is
// still open under a name of its own. Unmounted with the object; Mounted() is false where
// fusefat, mkfs.vfat or FUSE itself is missing, or the runner may not mount.
class FatMount {
  public:
    FatMount() {
        const std::string image = store / "fat.img";
        // fusefat stays behind as the mount's daemon: it must not hold a stream of the test's.
        mounted_ = Process({"truncate", "-s", "8M", image}).Run().Exited(0) &&
                   Process({"mkfs.vfat", image}).Run().Exited(0) &&
                   Process({"fusefat", "-o", "rw+", image, mount.path.string()})
                       .OutputTo("/dev/null")
                       .ErrorTo("/dev/null")
                       .Run()
                       .Exited(0) &&
                   Process({"mountpoint", "-q", mount.path.string()}).Run().Exited(0);
    }
    ~FatMount() {
        if (mounted_) Process({"fusermount", "-u", mount.path.string()}).Run();
    }
    FatMount(const FatMount&) = delete;
    FatMount& operator=(const FatMount&) = delete;
    bool Mounted() const { return mounted_; }

    TempFolder store, mount;

  private:
    bool mounted_ = false;
};

}  // namespace kiv::testing
