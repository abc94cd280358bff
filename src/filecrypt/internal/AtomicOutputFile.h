#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>
#include <string>

#include "filecrypt/ExistingFile.h"

namespace kiv {

// A descriptor of folder ("" for the current one) to create outputs in and flush, or -1 (errno
// set). A folder that may be written but not listed gives one that cannot be flushed.
int OpenFolderForOutputs(const std::string& folder);

// An output that appears under its name only when complete and on disk. Where the filesystem
// allows it, it is written into an unnamed file in the target's folder, which nothing, not even
// SIGKILL or a power cut, can leave behind; elsewhere into a hidden temporary file beside the
// target (".NAME.kiv-XXXXXX"), recorded in the TemporaryFileRegistry so that a termination
// signal removes it. Commit() flushes the data to disk, gives the file its permission bits and
// renames it over the name, then flushes the folder. Destroyed uncommitted, nothing of it
// remains, so a failed or cancelled run leaves every existing file as it was. Every name is
// looked up from one descriptor of the folder, never by the whole path.
//
// Commit is also offered in steps, so that the outputs of one folder can share one flush of the
// disk (OutputBatch): Finish, then (once the data is on the disk) Written, Name and Place.
class AtomicOutputFile {
  public:
    // What a look at the target's name (lstat) found just before the output is created: nothing,
    // or the file there.
    using Found = std::optional<struct stat>;

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
    // The file in progress is readable by its owner only (0600) while it has a name.
    bool Create(const std::string& path, ExistingFile existing = ExistingFile::Replace);
    // The same for name in the folder open as folderFd, whose path is folderPath ("" for the
    // current folder, else ending in "/"); the descriptor must outlive the output. found, when
    // given, is what a look at name just found, which spares looking again.
    bool Create(int folderFd, const std::string& folderPath, const std::string& name,
                ExistingFile existing, const Found* found = nullptr);
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

    // The steps of Commit, for outputs whose data another call puts on the disk. Finish gives
    // the file its permission bits once it is written. Written says whether its data reached the
    // disk (false, errno set, when writing it back failed). Name gives it the target's name when
    // that is free, or a hidden one (a named temporary file's), and closes it; an unnamed file
    // that replaces another stays as it is. Place then puts it in the target's place: the hidden
    // name renamed over the target, or the unnamed file linked beside it and renamed over it, so
    // that a hidden copy exists only for that instant. Unname takes back the target's name that
    // Name gave. Each returns false (errno set) on failure, after which nothing of the output
    // remains.
    void Finish();
    bool Written();
    bool Name();
    bool Place();
    void Unname();

  private:
    bool Examine(const Found* found);
    bool CreateUnnamed();
    bool CreateNamed();
    bool LinkUnnamed();
    bool Close();
    bool PutInPlace();
    void ForgetTemporary();
    void CloseFolder();

    const bool unnamedAllowed_;
    int fd_ = -1;
    int folderFd_ = -1;
    bool ownsFolder_ = false;
    bool unnamed_ = false;
    // Whether the unnamed file was created with its final permission bits (a new target), so that
    // it needs no fchmod.
    bool finalMode_ = false;
    bool namedAsTarget_ = false;  // Name gave the target's own name
    ExistingFile existing_ = ExistingFile::Replace;
    std::string folder_;  // "" for the current folder, else ending in "/"
    std::string name_;
    std::string
        temporary_;  // the name of the file in progress in the folder, "" when there is none
    int registrySlot_ = -1;
};

}  // namespace kiv
