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

// What one look at a name in a folder found.
struct NameFacts {
    bool taken = false;  // anything has the name, a dangling link included
    bool link = false;   // a symbolic link has it
    // The file the name leads to, following a link; nothing when it leads nowhere.
    std::optional<FileFacts> file;
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

        // Whether the output may wait, complete, to be named together with other outputs of its
        // folder (OutputBatch), which share one flush of the disk: until it is named nothing can
        // reach its bytes, and nothing of it outlives the program. Other outputs are committed
        // one by one.
        virtual bool Batchable() const { return false; }
        // Commit in steps, for a batchable output; each fails with errno set, after which
        // nothing of the output remains. Complete ends the writing (the writer is gone after
        // it). Once the folder's data is on the disk (Folder::SyncData), Written says whether
        // this output's reached it, Name gives it a name beside its target (the target's own
        // when that is free) and Place puts it in the target's place; Unname takes back a name
        // Name gave.
        virtual bool Complete() { return false; }
        virtual bool Written() { return false; }
        virtual bool Name() { return false; }
        virtual bool Place() { return false; }
        virtual void Unname() {}
        // The file's identity once Complete, where the store knows it before the file has a
        // name.
        virtual std::optional<FileIdentity> Identity() const { return std::nullopt; }
    };

    // The files of one folder, looked up and created by their names in it. The disk's reaches
    // them through one descriptor of the folder, instead of walking the folder's path for every
    // name.
    class Folder {
      public:
        virtual ~Folder() = default;
        virtual NameFacts Look(const std::string& name) = 0;
        virtual bool OpenInput(const std::string& name, ByteReader& reader) = 0;
        virtual std::unique_ptr<Output> CreateOutput(const std::string& name,
                                                     ExistingFile existing) = 0;
        // Puts the data of every batchable output completed in the folder on the disk, with
        // the filesystem's own records of them. False (errno set) when that failed.
        virtual bool SyncData() { return true; }
        // Makes the names given in the folder so far last. Best effort.
        virtual void SyncNames() {}
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
    // The folder ("" for the current one, else ending in "/"); this one reaches its files by
    // their paths through the calls above.
    virtual std::unique_ptr<Folder> OpenFolder(const std::string& folder);
};

}  // namespace kiv
