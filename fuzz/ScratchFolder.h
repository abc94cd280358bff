#pragma once

#include <string>

namespace kiv::fuzz {

// A private folder for the files a fuzz target cannot avoid, in $KIV_FUZZ_SCRATCH when set, else
// in memory where the system offers /dev/shm; created on first use and removed with everything
// in it when the process ends normally.
class ScratchFolder {
  public:
    static const std::string& Path();

  private:
    ScratchFolder();
    ~ScratchFolder();

    std::string path_;
};

}  // namespace kiv::fuzz
