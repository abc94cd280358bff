#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "filecrypt/ByteFile.h"
#include "filecrypt/ExistingFile.h"

namespace kiv {

// A file as its store knows it, whatever path leads to it: device and inode.
using FileIdentity = std::pair<std::uint64_t, std::uint64_t>;

// A regular file's identity and length.
struct FileFacts {
    FileIdentity identity;
    std::int64_t size = 0;
};

// Where a file run opens what it reads, creates what it writes and asks what a name leads to.
// The program uses the disk
// (DiskFileStore); fuzzing and tests can hold the files in memory (MemoryFileStore), so that a
// run costs microseconds and no folder.
class FileStore {
  public:
    // An output being written; it appears under its name only when committed, and destroyed
    // uncommitted it leaves nothing behind.
    class Output {
      public:
        virtual ~Output() = default;
        virtual ByteWriter& Writer() = 0;
        // Flushes the writer and puts the file under its name, replacing a file of that name.
        // False (errno set) on failure; nothing of the output remains then.
        virtual bool Commit() = 0;
    };

    virtual ~FileStore() = default;
    // Opens an existing regular file for reading. False (errno set) when it cannot.
    virtual bool OpenInput(const std::string& path, ByteReader& reader) = 0;
    // Null (errno set) when the output cannot be created. Its Commit fails with EEXIST when
    // existing is Keep and a file has taken the name meanwhile.
    virtual std::unique_ptr<Output> CreateOutput(const std::string& path,
                                                 ExistingFile existing) = 0;
    // The file path leads to, following links; nothing when there is none. An open reader's
    // Device and Inode are the same identity.
    virtual std::optional<FileIdentity> IdentityOf(const std::string& path) const = 0;
    // Whether anything at all has this name, a dangling link included.
    virtual bool NameTaken(const std::string& path) const = 0;
    // Whether path leads to a FIFO, a device or a socket, which a run never reads or replaces:
    // opening or creating it fails with EINVAL, which says nothing of why.
    virtual bool IsIrregular(const std::string& path) const = 0;
    // Whether folder (with its final "/", or "" for the current one) takes names that differ
    // only in letter case for one file, as FAT, exFAT, many FUSE and network filesystems and
    // case-folding ext4 folders do. Such filesystems may also hand out a new identity at every
    // lookup, so that there only a comparison of FoldedName shows two names to be one file.
    virtual bool FoldsLetterCase(const std::string& folder) const = 0;
    // The regular file path leads to, without reading it: false (errno set) when there is none,
    // EISDIR for a folder and EINVAL for anything else, as OpenInput fails. This one opens it.
    virtual bool Examine(const std::string& path, FileFacts& facts);
};

}  // namespace kiv
