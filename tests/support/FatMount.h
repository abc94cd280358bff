#pragma once

#include <cstdlib>
#include <string>

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
        const std::string command = "truncate -s 8M '" + image + "' && mkfs.vfat '" + image +
                                    "' >/dev/null 2>&1 && fusefat -o rw+ '" + image + "' '" +
                                    mount.path.string() + "' >/dev/null 2>&1";
        mounted_ = std::system(command.c_str()) == 0 &&
                   std::system(("mountpoint -q '" + mount.path.string() + "'").c_str()) == 0;
    }
    ~FatMount() {
        if (mounted_) {
            [[maybe_unused]] const int ignored =
                std::system(("fusermount -u '" + mount.path.string() + "'").c_str());
        }
    }
    FatMount(const FatMount&) = delete;
    FatMount& operator=(const FatMount&) = delete;
    bool Mounted() const { return mounted_; }

    TempFolder store, mount;

  private:
    bool mounted_ = false;
};

}  // namespace kiv::testing
