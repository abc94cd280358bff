#include "filecrypt/AtomicOutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kiv {

namespace {

// mkstemp creates files readable by their owner only; a finished output gets the permissions a
// plain creation would give it. The mask is read once, before any worker thread exists.
mode_t CreationMode() {
    static const mode_t mode = [] {
        const mode_t mask = umask(0);
        umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

[[maybe_unused]] const mode_t kModeAtStart = CreationMode();

}  // namespace

AtomicOutputFile::~AtomicOutputFile() {
    Discard();
}

bool AtomicOutputFile::Create(const std::string& path) {
    Discard();
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string pattern = folder + "." + name.substr(0, 200) + ".kiv-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    fd_ = mkostemp(buffer.data(), O_CLOEXEC);
    if (fd_ < 0) return false;
    temporary_ = buffer.data();
    target_ = path;
    return true;
}

bool AtomicOutputFile::Commit() {
    if (fd_ < 0) return false;
    fchmod(fd_, CreationMode());
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    if (!closed || std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        const int saved = errno;
        unlink(temporary_.c_str());
        temporary_.clear();
        errno = saved;
        return false;
    }
    temporary_.clear();
    return true;
}

void AtomicOutputFile::Discard() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) unlink(temporary_.c_str());
    temporary_.clear();
}

}  // namespace kiv
