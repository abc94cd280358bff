#include "filecrypt/internal/AtomicOutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <random>

#include "filecrypt/ContainerNames.h"
#include "filecrypt/TemporaryFileRegistry.h"

namespace kiv {

namespace {

// What a plain creation gives a new file. The mask is read once, before any worker thread
// exists: reading it means setting it.
mode_t CreationMode() {
    static const mode_t mode = [] {
        const mode_t mask = umask(0);
        umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

[[maybe_unused]] const mode_t kModeAtStart = CreationMode();

// A replaced file of the runner's own keeps its permission bits (not set-id bits: restored data
// is not the program that was trusted with them); anything else gets a creation's. Bits chosen
// by another account (a 0666 file planted under the target's name) are not the runner's choice
// and would open the data to others.
mode_t ModeFor(int folder, const std::string& name) {
    struct stat info {};
    if (fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
        info.st_uid == geteuid())
        return info.st_mode & 0777;
    return CreationMode();
}

// Whether the rename over a file will be refused because its folder is sticky and the file is
// another's (root and the folder's owner may). Known before anything is decrypted, so that no
// decrypted byte lands in a temporary file that can never take the name.
bool StickyRefuses(int folder, const struct stat& file) {
    struct stat info {};
    if (fstat(folder, &info) != 0) return false;
    const uid_t self = geteuid();
    return (info.st_mode & S_ISVTX) != 0 && self != 0 && file.st_uid != self && info.st_uid != self;
}

// An unnamed file gets its name through /proc/self/fd; without /proc it never could.
bool UnnamedFilesPossible() {
    static const bool possible = access("/proc/self/fd", X_OK) == 0;
    return possible;
}

std::string TemporaryPrefix(const std::string& name) {
    return "." + name.substr(0, 200) + ".kiv-";
}

std::string RandomSuffix() {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string suffix(6, ' ');
    for (char& letter : suffix)
        letter = kLetters[pick(generator)];
    return suffix;
}

}  // namespace

int OpenFolderForOutputs(const std::string& folder) {
    const char* path = folder.empty() ? "." : folder.c_str();
    const int fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A folder its runner may write but not list still takes files; it only cannot be flushed.
    if (fd >= 0 || errno != EACCES) return fd;
    return open(path, O_PATH | O_DIRECTORY | O_CLOEXEC);
}

namespace {

// Flushes a file's data to the disk; filesystems that cannot flush have nothing to flush.
bool Flush(int fd) {
    return fdatasync(fd) == 0 || errno == EINVAL || errno == ENOSYS;
}

// Links the unnamed file open as fd under name in folder. By the descriptor itself where the
// kernel lets its opener do so (Linux 6.10 on, or with CAP_DAC_READ_SEARCH), which spares a walk
// through /proc; else through /proc/self/fd.
bool LinkOpenFile(int fd, int folder, const std::string& name) {
    static std::atomic<bool> byDescriptor{true};
    if (byDescriptor.load(std::memory_order_relaxed)) {
        if (linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH) == 0) return true;
        if (errno != ENOENT && errno != EPERM) return false;
        byDescriptor.store(false, std::memory_order_relaxed);
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

}  // namespace

AtomicOutputFile::~AtomicOutputFile() {
    Discard();
    CloseFolder();
}

bool AtomicOutputFile::Create(const std::string& path, ExistingFile existing) {
    Discard();
    CloseFolder();
    const std::string folder = FolderOf(path);
    const int fd = OpenFolderForOutputs(folder);
    if (fd < 0) return false;
    if (!Create(fd, folder, StoredNameOf(path), existing)) {
        const int error = errno;
        close(fd);
        errno = error;
        return false;
    }
    ownsFolder_ = true;
    return true;
}

bool AtomicOutputFile::Create(int folderFd, const std::string& folderPath, const std::string& name,
                              ExistingFile existing, const Found* found) {
    Discard();
    CloseFolder();
    folderFd_ = folderFd;
    existing_ = existing;
    folder_ = folderPath;
    name_ = name;
    return Examine(found) && (CreateUnnamed() || CreateNamed());
}

// Whether what has the target's name may be replaced, from what a look at it found.
bool AtomicOutputFile::Examine(const Found* found) {
    Found looked;
    if (found == nullptr) {
        struct stat info {};
        if (fstatat(folderFd_, name_.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) looked = info;
        found = &looked;
    }
    if (!*found) {
        // A new name: the unnamed file can be created with a plain creation's bits at once.
        finalMode_ = true;
        return true;
    }
    const struct stat& info = **found;
    finalMode_ = false;
    if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    // A file its runner may not write is not replaced either, though the folder would allow it:
    // as when the file is opened for writing, a read-only file stays as it is.
    if (S_ISREG(info.st_mode) && faccessat(folderFd_, name_.c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    if (existing_ == ExistingFile::Replace && StickyRefuses(folderFd_, info)) {
        errno = EPERM;
        return false;
    }
    return true;
}

bool AtomicOutputFile::CreateUnnamed() {
    if (!unnamedAllowed_ || !UnnamedFilesPossible()) return false;
    // Nobody can open an unnamed file by a name, so a new file gets its final bits at once. One
    // that replaces another is readable by its owner only until Finish gives it that file's bits.
    fd_ = openat(folderFd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, finalMode_ ? 0666 : 0600);
    unnamed_ = fd_ >= 0;
    return unnamed_;
}

bool AtomicOutputFile::CreateNamed() {
    finalMode_ = false;
    // As mkostemp, but in the folder's descriptor.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = TemporaryPrefix(name_) + RandomSuffix();
        fd_ = openat(folderFd_, candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            temporary_ = candidate;
            registrySlot_ = TemporaryFileRegistry::Add(folder_ + temporary_);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

bool AtomicOutputFile::LinkUnnamed() {
    // Taken meanwhile: the bits are those of the file it replaces after all.
    if (finalMode_) fchmod(fd_, ModeFor(folderFd_, name_));
    // A link never replaces a file: link under a free temporary name, then rename over it.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = TemporaryPrefix(name_) + RandomSuffix();
        if (LinkOpenFile(fd_, folderFd_, candidate)) {
            temporary_ = candidate;
            registrySlot_ = TemporaryFileRegistry::Add(folder_ + temporary_);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

void AtomicOutputFile::Finish() {
    // Best effort: FAT and some FUSE filesystems keep no permission bits and refuse to set them.
    if (fd_ >= 0 && !finalMode_) fchmod(fd_, ModeFor(folderFd_, name_));
}

bool AtomicOutputFile::Written() {
    if (fd_ < 0) return false;
    // Waits for nothing once the disk was flushed; reports what failed to reach it since the
    // file was opened.
    if (sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WAIT_BEFORE) == 0) return true;
    const int error = errno;
    Discard();
    errno = error;
    return false;
}

bool AtomicOutputFile::Name() {
    if (fd_ < 0) return false;
    if (unnamed_ && LinkOpenFile(fd_, folderFd_, name_)) {
        namedAsTarget_ = true;
        return Close();
    }
    // A file in the way is replaced by Place, through a name of its own for an instant.
    if (unnamed_ && errno == EEXIST && existing_ == ExistingFile::Replace) return true;
    if (unnamed_) {
        const int saved = errno;
        Discard();
        errno = saved;
        return false;
    }
    return Close();
}

bool AtomicOutputFile::Close() {
    bool done = true;
    if (close(fd_) != 0) {
        // A close can be where a failed write-back shows: a name already given is taken back.
        const int closeError = errno;
        if (namedAsTarget_) unlinkat(folderFd_, name_.c_str(), 0);
        namedAsTarget_ = false;
        errno = closeError;
        done = false;
    }
    fd_ = -1;
    unnamed_ = false;
    if (!done) {
        const int saved = errno;
        Discard();
        errno = saved;
    }
    return done;
}

bool AtomicOutputFile::Place() {
    // An unnamed file Name left open replaces a file: linked beside it, closed, renamed over it.
    if (fd_ >= 0 && (!LinkUnnamed() || !Close())) {
        const int saved = errno;
        Discard();
        errno = saved;
        return false;
    }
    if (!temporary_.empty() && !PutInPlace()) {
        const int saved = errno;
        Discard();
        errno = saved;
        return false;
    }
    ForgetTemporary();
    namedAsTarget_ = false;
    return true;
}

void AtomicOutputFile::Unname() {
    if (namedAsTarget_) unlinkat(folderFd_, name_.c_str(), 0);
    namedAsTarget_ = false;
    Discard();
}

bool AtomicOutputFile::Commit() {
    if (fd_ < 0) return false;
    Finish();
    // The data reaches the disk before the name does: after a power cut the target holds either
    // its old content or the whole new one, never an empty file.
    if (!Flush(fd_)) {
        const int saved = errno;
        Discard();
        errno = saved;
        return false;
    }
    if (!Name() || !Place()) return false;
    // Makes the rename itself durable. Best effort: the output is in place either way.
    fsync(folderFd_);
    return true;
}

bool AtomicOutputFile::PutInPlace() {
    if (existing_ == ExistingFile::Replace)
        return renameat(folderFd_, temporary_.c_str(), folderFd_, name_.c_str()) == 0;
    if (renameat2(folderFd_, temporary_.c_str(), folderFd_, name_.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // Filesystems without the no-replace rename still refuse a link over an existing name.
    if (linkat(folderFd_, temporary_.c_str(), folderFd_, name_.c_str(), 0) == 0) {
        unlinkat(folderFd_, temporary_.c_str(), 0);
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP) return false;
    // FAT has neither: a name found free is taken by a plain rename, leaving only the moment
    // between the look and the rename for another program to take it first.
    struct stat taken {};
    if (fstatat(folderFd_, name_.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return false;
    }
    return errno == ENOENT &&
           renameat(folderFd_, temporary_.c_str(), folderFd_, name_.c_str()) == 0;
}

void AtomicOutputFile::Discard() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    unnamed_ = false;
    if (!temporary_.empty()) unlinkat(folderFd_, temporary_.c_str(), 0);
    ForgetTemporary();
}

void AtomicOutputFile::ForgetTemporary() {
    TemporaryFileRegistry::Remove(registrySlot_);
    registrySlot_ = -1;
    temporary_.clear();
}

void AtomicOutputFile::CloseFolder() {
    if (ownsFolder_ && folderFd_ >= 0) close(folderFd_);
    ownsFolder_ = false;
    folderFd_ = -1;
}

}  // namespace kiv
