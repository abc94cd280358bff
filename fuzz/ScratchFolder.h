#pragma once

#include <string>

namespace kiv::fuzz {

// A private folder for the files a fuzz target cannot avoid, in memory where the system offers
// /dev/shm; created on first use and removed with everything in it when the process ends.
class ScratchFolder {
  public:
    static const std::string& Path();

  private:
    ScratchFolder();
    ~ScratchFolder();

    std::string path_;
};

}  // namespace kiv::fuzz
