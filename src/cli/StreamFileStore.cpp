#include "cli/StreamFileStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace kiv {

namespace {

// An unnamed file in TMPDIR (or /tmp); where the filesystem has no unnamed files, a named one
// removed at once.
int UnnamedTemporaryFile() {
    const char* folder = std::getenv("TMPDIR");
    const std::string dir = folder != nullptr && *folder != '\0' ? folder : "/tmp";
    const int fd = open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR)) return fd;
    std::string name = dir + "/.kiv-cli-XXXXXX";
    const int named = mkostemp(name.data(), O_CLOEXEC);
    if (named >= 0) unlink(name.c_str());
    return named;
}

std::string Reason(int error) {
    const char* words = strerrordesc_np(error);
    return words != nullptr ? words : "error " + std::to_string(error);
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
    explicit StreamOutput(int fd) : writer_(fd) {}
    ByteWriter& Writer() override { return writer_; }
    bool Commit() override {
        if (writer_.Flush()) return true;
        errno = writer_.error();
        return false;
    }

  private:
    ByteWriter writer_;
};

}  // namespace

StreamFileStore::~StreamFileStore() {
    if (held_ >= 0) close(held_);
}

std::string StreamFileStore::HoldInput(int fd, const std::string& alias, std::int64_t limit) {
    const auto failed = [](const char* what) { return what + std::string(": ") + Reason(errno); };
    const char* const holding = "cannot hold standard input in a temporary file in TMPDIR";
    inputAlias_ = alias;
    held_ = UnnamedTemporaryFile();
    if (held_ < 0) return failed(holding);
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
    if (IsStreamed(path)) return std::make_unique<StreamOutput>(outputFd_);
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

bool StreamFileStore::FoldsLetterCase(const std::string& folder) const {
    return !(outputFd_ >= 0 && outputAlias_.empty()) && disk_.FoldsLetterCase(folder);
}

}  // namespace kiv
