#pragma once

#include <sys/stat.h>

#include <string>

#include "filecrypt/FileStore.h"

namespace kiv {

// A folder on the disk, reached through one descriptor of it: names are looked up (fstatat),
// files opened and created (openat, O_TMPFILE) and named (linkat, renameat) from it.
//
// Where the filesystem keeps unnamed files and flushes a whole filesystem reliably (ext2/3/4,
// XFS, Btrfs, F2FS, tmpfs), its outputs are batchable: a batch of them is put on the disk by one
// syncfs, instead of one fdatasync each, which on a journalling filesystem costs a commit of the
// journal per file. Elsewhere (FUSE, network filesystems, FAT: named temporary files, or a
// filesystem whose flush of itself may be a no-op) each output is committed alone.
class DiskFolder final : public FileStore::Folder {
  public:
    DiskFolder() = default;
    ~DiskFolder() override;
    DiskFolder(const DiskFolder&) = delete;
    DiskFolder& operator=(const DiskFolder&) = delete;

    // Opens path ("" for the current folder, else ending in "/"). False (errno set) when it
    // cannot.
    bool Open(const std::string& path);

    // One lstat, and a stat more only for a link. What it found is kept for a CreateOutput of
    // the same name that follows, which then need not look again.
    NameFacts Look(const std::string& name) override;
    bool OpenInput(const std::string& name, ByteReader& reader) override;
    std::unique_ptr<FileStore::Output> CreateOutput(const std::string& name,
                                                    ExistingFile existing) override;
    bool SyncData() override;
    void SyncNames() override;

  private:
    int fd_ = -1;
    std::string path_;
    bool batching_ = false;
    bool writesBack_ = true;
    // The last name looked up, and what it found (st_mode 0: nothing).
    std::string lookedName_;
    struct stat looked_ {};
    bool lookedValid_ = false;
};

}  // namespace kiv
