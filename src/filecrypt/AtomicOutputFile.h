#pragma once

#include <string>

namespace kiv {

// An output that appears under its name only when complete: it is written to a hidden temporary
// file in the same folder and renamed over the name by Commit(). Destroyed uncommitted, it
// removes the temporary file, so a failed or cancelled run leaves every existing file as it was.
class AtomicOutputFile {
  public:
    AtomicOutputFile() = default;
    ~AtomicOutputFile();
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    // Creates the temporary file beside path. False (errno set) when the folder is not writable.
    bool Create(const std::string& path);
    int fd() const { return fd_; }
    // Closes and renames over the target, replacing an existing file. False on failure, in which
    // case the temporary file is gone and the target untouched.
    bool Commit();
    // Removes the temporary file.
    void Discard();

  private:
    int fd_ = -1;
    std::string target_;
    std::string temporary_;
};

}  // namespace kiv
