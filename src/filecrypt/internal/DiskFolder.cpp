#include "filecrypt/internal/DiskFolder.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>

#include "filecrypt/internal/AtomicOutputFile.h"
#include "filecrypt/internal/DiskOutput.h"

namespace kiv {

namespace {

// Filesystems whose syncfs writes every dirty file, unnamed ones included, with the records
// that find its data, and reports a failure to do so; FUSE's may do nothing, and network
// filesystems keep no unnamed files.
bool FlushesWholly(std::uint32_t type) {
    constexpr std::uint32_t kF2fs = 0xF2F52010;
    switch (type) {
        case EXT4_SUPER_MAGIC:  // also ext2 and ext3
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case TMPFS_MAGIC:
        case kF2fs:
            return true;
        default:
            return false;
    }
}

}  // namespace

DiskFolder::~DiskFolder() {
    if (fd_ >= 0) close(fd_);
}

bool DiskFolder::Open(const std::string& path) {
    fd_ = OpenFolderForOutputs(path);
    if (fd_ < 0) return false;
    path_ = path;
    struct statfs info {};
    const auto type = fstatfs(fd_, &info) == 0 ? static_cast<std::uint32_t>(info.f_type) : 0;
    // A descriptor that cannot be flushed (the folder cannot be listed) flushes nothing.
    batching_ = (fcntl(fd_, F_GETFL) & O_PATH) == 0 && FlushesWholly(type);
    writesBack_ = type != TMPFS_MAGIC && type != RAMFS_MAGIC;
    return true;
}

NameFacts DiskFolder::Look(const std::string& name) {
    NameFacts facts;
    lookedName_ = name;
    lookedValid_ = true;
    looked_ = {};
    if (fstatat(fd_, name.c_str(), &looked_, AT_SYMLINK_NOFOLLOW) != 0) {
        looked_.st_mode = 0;
        return facts;
    }
    facts.taken = true;
    facts.link = S_ISLNK(looked_.st_mode);
    struct stat info = looked_;
    if (facts.link && fstatat(fd_, name.c_str(), &info, 0) != 0) return facts;
    facts.file = FileFacts{FileIdentity(info.st_dev, info.st_ino),
                           S_ISREG(info.st_mode) ? static_cast<std::int64_t>(info.st_size) : -1};
    return facts;
}

bool DiskFolder::OpenInput(const std::string& name, ByteReader& reader) {
    return reader.Open(name, fd_);
}

std::unique_ptr<FileStore::Output> DiskFolder::CreateOutput(const std::string& name,
                                                            ExistingFile existing) {
    AtomicOutputFile::Found found;
    const bool known = lookedValid_ && lookedName_ == name;
    if (known && looked_.st_mode != 0) found = looked_;
    // What is created from here on may take the name.
    lookedValid_ = false;
    auto output = std::make_unique<DiskOutput>(batching_, writesBack_);
    if (!output->Create(fd_, path_, name, existing, known ? &found : nullptr)) return nullptr;
    return output;
}

bool DiskFolder::SyncData() {
    return syncfs(fd_) == 0;
}

void DiskFolder::SyncNames() {
    fsync(fd_);
}

}  // namespace kiv
