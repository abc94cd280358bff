#include "cli/StreamFileStore.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "filecrypt/PrintableName.h"

namespace kiv {

namespace {

// Whether a file removed from folder while it is open stays there under another name until it
// is closed, as on FUSE (".fuse_hidden...") and network filesystems (".nfs..."), or for good
// where the filesystem mishandles that: FAT through fusefat kept the data under a name of its
// own after every run.
bool KeepsRemovedOpenFiles(const std::string& folder) {
    struct statfs info {};
    if (statfs(folder.c_str(), &info) != 0) return false;
    switch (static_cast<std::uint32_t>(info.f_type)) {
        case FUSE_SUPER_MAGIC:
        case NFS_SUPER_MAGIC:
        case SMB_SUPER_MAGIC:
        case CIFS_SUPER_MAGIC:
        case SMB2_SUPER_MAGIC:
        case V9FS_MAGIC:
        case CODA_SUPER_MAGIC:
        case AFS_SUPER_MAGIC:
        case AFS_FS_MAGIC:
            return true;
        default:
            return false;
    }
}

std::string Reason(int error) {
    const char* words = strerrordesc_np(error);
    return words != nullptr ? words : "error " + std::to_string(error);
}

// A file in TMPDIR (or /tmp) that nothing can leave behind: unnamed (O_TMPFILE), or where the
// filesystem has no unnamed files, a named one removed at once. -1, with what failed in problem,
// where there can be no such file: then nothing was created.
int UnnamedTemporaryFile(std::string& problem) {
    const char* holding = "cannot hold standard input in a temporary file in TMPDIR";
    const char* variable = std::getenv("TMPDIR");
    const std::string dir = variable != nullptr && *variable != '\0' ? variable : "/tmp";
    const int fd = open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    if (errno != EOPNOTSUPP && errno != EISDIR) {
        problem = holding + std::string(": ") + Reason(errno);
        return -1;
    }
    if (KeepsRemovedOpenFiles(dir)) {
        problem = holding + std::string(": '") + PrintableName(dir) +
                  "' keeps a file removed while open under another name, as FUSE and network "
                  "filesystems do; set TMPDIR to a folder on a local disk";
        return -1;
    }
    std::string name = dir + "/.kiv-cli-XXXXXX";
    const int named = mkostemp(name.data(), O_CLOEXEC);
    if (named < 0 || unlink(name.c_str()) != 0) {
        problem = holding + std::string(": ") + Reason(errno);
        if (named >= 0) close(named);
        return -1;
    }
    return named;
}

bool WriteAll(int fd, const char* data, std::size_t n) {
    while (n > 0) {
        const ssize_t put = write(fd, data, n);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return false;
        data += put;
        n -= static_cast<std::size_t>(put);
    }
    return true;
}

class StreamOutput final : public FileStore::Output {
  public:
    StreamOutput(int fd, int& committed) : writer_(fd), committed_(committed) {}
    ByteWriter& Writer() override { return writer_; }
    bool Commit() override {
        if (writer_.Flush()) {
            ++committed_;
            return true;
        }
        errno = writer_.error();
        return false;
    }

  private:
    ByteWriter writer_;
    int& committed_;
};

}  // namespace

StreamFileStore::~StreamFileStore() {
    if (held_ >= 0) close(held_);
}

std::string StreamFileStore::PrepareInput(const std::string& alias) {
    inputAlias_ = alias;
    std::string problem;
    if (held_ < 0) held_ = UnnamedTemporaryFile(problem);
    return problem;
}

std::string StreamFileStore::HoldInput(int fd, const std::string& alias, std::int64_t limit) {
    const auto failed = [](const char* what) { return what + std::string(": ") + Reason(errno); };
    const char* const holding = "cannot hold standard input in a temporary file in TMPDIR";
    if (std::string problem = PrepareInput(alias); !problem.empty()) return problem;
    std::vector<char> buffer(std::size_t{1} << 20);
    std::int64_t total = 0;
    while (total <= limit) {
        const std::int64_t room = limit - total;  // and one byte more
        const std::size_t wanted = room >= static_cast<std::int64_t>(buffer.size())
                                       ? buffer.size()
                                       : static_cast<std::size_t>(room) + 1;
        const ssize_t got = read(fd, buffer.data(), wanted);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return failed("cannot read standard input");
        if (got == 0) break;
        if (!WriteAll(held_, buffer.data(), static_cast<std::size_t>(got))) return failed(holding);
        total += got;
    }
    return {};
}

std::string StreamFileStore::HoldPart(int fd, std::int64_t bound, std::int64_t& size, bool& last) {
    const auto failed = [](const char* what) { return what + std::string(": ") + Reason(errno); };
    const char* const holding = "cannot hold standard input in a temporary file in TMPDIR";
    if (std::string problem = PrepareInput(inputAlias_); !problem.empty()) return problem;
    if (ftruncate(held_, 0) != 0 || lseek(held_, 0, SEEK_SET) != 0) return failed(holding);
    size = 0;
    last = false;
    if (pending_ >= 0) {
        const char byte = static_cast<char>(pending_);
        if (!WriteAll(held_, &byte, 1)) return failed(holding);
        pending_ = -1;
        size = 1;
    }
    std::vector<char> buffer(std::size_t{1} << 20);
    // Up to bound bytes, then one more: whether it comes tells a last part from a full one.
    while (true) {
        const bool peek = size == bound;
        const std::size_t wanted =
            peek ? 1
                 : static_cast<std::size_t>(std::min<std::int64_t>(
                       static_cast<std::int64_t>(buffer.size()), bound - size));
        const ssize_t got = read(fd, buffer.data(), wanted);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return failed("cannot read standard input");
        if (got == 0) {
            last = true;
            return {};
        }
        if (peek) {
            pending_ = static_cast<unsigned char>(buffer[0]);
            return {};
        }
        if (!WriteAll(held_, buffer.data(), static_cast<std::size_t>(got))) return failed(holding);
        size += got;
    }
}

void StreamFileStore::SendOutputsTo(int fd, const std::string& alias) {
    outputFd_ = fd;
    outputAlias_ = alias;
}

bool StreamFileStore::IsStreamed(const std::string& path) const {
    return outputFd_ >= 0 && (outputAlias_.empty() || path == outputAlias_);
}

bool StreamFileStore::OpenInput(const std::string& path, ByteReader& reader) {
    if (held_ >= 0 && path == inputAlias_)
        return reader.Open("/proc/self/fd/" + std::to_string(held_));
    return disk_.OpenInput(path, reader);
}

std::unique_ptr<FileStore::Output> StreamFileStore::CreateOutput(const std::string& path,
                                                                 ExistingFile existing) {
    if (IsStreamed(path)) return std::make_unique<StreamOutput>(outputFd_, committed_);
    return disk_.CreateOutput(path, existing);
}

std::optional<FileIdentity> StreamFileStore::IdentityOf(const std::string& path) const {
    if (held_ >= 0 && path == inputAlias_) {
        struct stat info {};
        if (fstat(held_, &info) != 0) return std::nullopt;
        return FileIdentity(info.st_dev, info.st_ino);
    }
    if (IsStreamed(path)) return std::nullopt;
    return disk_.IdentityOf(path);
}

bool StreamFileStore::NameTaken(const std::string& path) const {
    return !IsStreamed(path) && disk_.NameTaken(path);
}

bool StreamFileStore::IsIrregular(const std::string& path) const {
    return !(held_ >= 0 && path == inputAlias_) && !IsStreamed(path) && disk_.IsIrregular(path);
}

bool StreamFileStore::FoldsLetterCase(const std::string& folder) const {
    return !(outputFd_ >= 0 && outputAlias_.empty()) && disk_.FoldsLetterCase(folder);
}

bool StreamFileStore::Examine(const std::string& path, FileFacts& facts) {
    if (held_ >= 0 && path == inputAlias_) return FileStore::Examine(path, facts);
    return disk_.Examine(path, facts);
}

std::unique_ptr<FileStore::Folder> StreamFileStore::OpenFolder(const std::string& folder) {
    if (outputFd_ >= 0 && outputAlias_.empty()) return FileStore::OpenFolder(folder);
    return disk_.OpenFolder(folder);
}

}  // namespace kiv
