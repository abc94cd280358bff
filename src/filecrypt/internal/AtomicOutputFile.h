#pragma once

#include <sys/types.h>
#include <string>

#include "filecrypt/ExistingFile.h"

namespace kiv {

// An output that appears under its name only when complete and on disk. Where the filesystem
// allows it, it is written into an unnamed file in the target's folder, which nothing, not even
// SIGKILL or a power cut, can leave behind; elsewhere into a hidden temporary file beside the
// target (".NAME.kiv-XXXXXX"), recorded in the TemporaryFileRegistry so that a termination
// signal removes it. Commit() flushes the data to disk, gives the file its permission bits and
// renames it over the name, then flushes the folder. Destroyed uncommitted, nothing of it
// remains, so a failed or cancelled run leaves every existing file as it was.
class AtomicOutputFile {
  public:
    // With unnamedAllowed false the output always goes through a named temporary file, as on
    // filesystems without unnamed files (tests reach that way so).
    explicit AtomicOutputFile(bool unnamedAllowed = true) : unnamedAllowed_(unnamedAllowed) {}
    ~AtomicOutputFile();
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    // Opens the file to write in the folder of path. False (errno set) when the folder is not
    // writable, path names a file its runner may not write (EACCES), or an existing folder,
    // device, FIFO or socket, which a file run never replaces (EISDIR for a folder, EINVAL
    // otherwise), or another account's file in a sticky folder, which the rename could never
    // replace (EPERM). With ExistingFile::Keep the commit never replaces a file of that name.
    // The file in progress is readable by its owner only (0600).
    bool Create(const std::string& path, ExistingFile existing = ExistingFile::Replace);
    int fd() const { return fd_; }
    // Whether the data goes into an unnamed file (false: a named temporary file).
    bool Unnamed() const { return unnamed_; }
    // Flushes, sets the permission bits (those of the file it replaces when that file is the
    // runner's own, else what a plain creation gives: 0666 less the umask) and renames over the
    // target, replacing an existing
    // file unless created to keep it (then EEXIST). False (errno set) on failure, in which case
    // the temporary file is gone and the target untouched.
    bool Commit();
    // Drops what was written.
    void Discard();

  private:
    bool CreateUnnamed();
    bool CreateNamed();
    bool LinkUnnamed();
    bool PutInPlace();
    void ForgetTemporary();

    const bool unnamedAllowed_;
    int fd_ = -1;
    bool unnamed_ = false;
    ExistingFile existing_ = ExistingFile::Replace;
    std::string target_;
    std::string folder_;  // "" for the current folder, else ending in "/"
    std::string name_;
    std::string temporary_;  // the named file in progress, "" when there is none
    int registrySlot_ = -1;
};

}  // namespace kiv
