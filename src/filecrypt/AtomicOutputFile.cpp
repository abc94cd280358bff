#include "filecrypt/AtomicOutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
mode_t ModeFor(const std::string& target) {
    struct stat info {};
    if (lstat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid())
        return info.st_mode & 0777;
    return CreationMode();
}

// Whether the rename over path will be refused because its folder is sticky and the file is
// another's (root and the folder's owner may). Known before anything is decrypted, so that no
// decrypted byte lands in a temporary file that can never take the name.
bool StickyRefuses(const std::string& folder, const struct stat& file) {
    struct stat info {};
    if (stat(folder.empty() ? "." : folder.c_str(), &info) != 0) return false;
    const uid_t self = geteuid();
    return (info.st_mode & S_ISVTX) != 0 && self != 0 && file.st_uid != self && info.st_uid != self;
}

// An unnamed file gets its name through /proc/self/fd; without /proc it never could.
bool UnnamedFilesPossible() {
    static const bool possible = access("/proc/self/fd", X_OK) == 0;
    return possible;
}

std::string TemporaryPrefix(const std::string& folder, const std::string& name) {
    return folder + "." + name.substr(0, 200) + ".kiv-";
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

// Flushes a file's data to the disk; filesystems that cannot flush have nothing to flush.
bool Flush(int fd) {
    return fdatasync(fd) == 0 || errno == EINVAL || errno == ENOSYS;
}

// Makes the rename itself durable. Best effort: the output is in place either way.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

AtomicOutputFile::~AtomicOutputFile() {
    Discard();
}

bool AtomicOutputFile::Create(const std::string& path, ExistingFile existing) {
    Discard();
    existing_ = existing;
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    // A file its runner may not write is not replaced either, though the folder would allow it:
    // as when the file is opened for writing, a read-only file stays as it is.
    if (S_ISREG(info.st_mode) && faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    target_ = path;
    folder_ = FolderOf(path);
    name_ = StoredNameOf(path);
    if (existing == ExistingFile::Replace && lstat(path.c_str(), &info) == 0 &&
        StickyRefuses(folder_, info)) {
        errno = EPERM;
        return false;
    }
    return CreateUnnamed() || CreateNamed();
}

bool AtomicOutputFile::CreateUnnamed() {
    if (!unnamedAllowed_ || !UnnamedFilesPossible()) return false;
    // Readable by the owner only until Commit gives it its final bits.
    fd_ = open(folder_.empty() ? "." : folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    unnamed_ = fd_ >= 0;
    return unnamed_;
}

bool AtomicOutputFile::CreateNamed() {
    std::string pattern = TemporaryPrefix(folder_, name_) + "XXXXXX";
    fd_ = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) return false;
    temporary_ = pattern;
    registrySlot_ = TemporaryFileRegistry::Add(temporary_);
    return true;
}

bool AtomicOutputFile::LinkUnnamed() {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    if (errno != EEXIST || existing_ == ExistingFile::Keep) return false;
    // A link never replaces a file: link under a free temporary name, then rename over it.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = TemporaryPrefix(folder_, name_) + RandomSuffix();
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporary_ = candidate;
            registrySlot_ = TemporaryFileRegistry::Add(temporary_);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

bool AtomicOutputFile::Commit() {
    if (fd_ < 0) return false;
    // Best effort: FAT and some FUSE filesystems keep no permission bits and refuse to set them.
    fchmod(fd_, ModeFor(target_));
    // The data reaches the disk before the name does: after a power cut the target holds either
    // its old content or the whole new one, never an empty file.
    bool done = Flush(fd_);
    if (done && unnamed_) done = LinkUnnamed();
    const bool namedAsTarget = done && unnamed_ && temporary_.empty();
    if (close(fd_) != 0) {
        // A close can be where a failed write-back shows: a name already given is taken back.
        const int closeError = errno;
        if (namedAsTarget) unlink(target_.c_str());
        errno = closeError;
        done = false;
    }
    fd_ = -1;
    if (done && !temporary_.empty()) done = PutInPlace();
    if (!done) {
        const int saved = errno;
        Discard();
        errno = saved;
        return false;
    }
    ForgetTemporary();
    unnamed_ = false;
    SyncFolder(folder_);
    return true;
}

bool AtomicOutputFile::PutInPlace() {
    if (existing_ == ExistingFile::Replace)
        return std::rename(temporary_.c_str(), target_.c_str()) == 0;
    if (renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // Filesystems without the no-replace rename still refuse a link over an existing name.
    if (link(temporary_.c_str(), target_.c_str()) == 0) {
        unlink(temporary_.c_str());
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP) return false;
    // FAT has neither: a name found free is taken by a plain rename, leaving only the moment
    // between the look and the rename for another program to take it first.
    struct stat taken {};
    if (lstat(target_.c_str(), &taken) == 0) {
        errno = EEXIST;
        return false;
    }
    return errno == ENOENT && std::rename(temporary_.c_str(), target_.c_str()) == 0;
}

void AtomicOutputFile::Discard() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    unnamed_ = false;
    if (!temporary_.empty()) unlink(temporary_.c_str());
    ForgetTemporary();
}

void AtomicOutputFile::ForgetTemporary() {
    TemporaryFileRegistry::Remove(registrySlot_);
    registrySlot_ = -1;
    temporary_.clear();
}

}  // namespace kiv
