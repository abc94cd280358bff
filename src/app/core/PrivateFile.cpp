#include "app/core/PrivateFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <random>
#include <utility>

#include "filecrypt/TemporaryFileRegistry.h"

namespace kiv {

namespace {

QString SystemReason(int error) {
    const char* words = strerrordesc_np(error);
    return words != nullptr ? QString::fromUtf8(words) : QStringLiteral("error %1").arg(error);
}

// Why an entry is left alone; empty when it is the user's own regular file.
QString Refusal(const struct stat& status) {
    if (S_ISLNK(status.st_mode)) return QStringLiteral("it is a symbolic link");
    if (!S_ISREG(status.st_mode)) return QStringLiteral("it is not a regular file");
    if (status.st_uid != ::geteuid()) return QStringLiteral("it belongs to another account");
    return {};
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void Reset(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    // Closes now, for the error a delayed write-back may only report here.
    bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

  private:
    int fd_;
};

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

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    // The data reaches the disk before the name does; filesystems that cannot flush have
    // nothing to flush.
    return ::fdatasync(fd) == 0 || errno == EINVAL || errno == ENOSYS;
}

// Renames temporary over name in folder dir. A name that was free (replaced null) is taken only
// while it still is. The user's file (replaced) is exchanged with the new one, and the exchange
// is kept only when what came out is that very file; anything put there meanwhile gets its name
// back. why is set where errno would not tell.
bool PutInPlace(int dir, const char* temporary, const char* name, const struct stat* replaced,
                QString& why) {
    if (replaced == nullptr) {
        if (::renameat2(dir, temporary, dir, name, RENAME_NOREPLACE) == 0) return true;
        if (errno != EINVAL && errno != ENOSYS) return false;
        // Filesystems without the no-replace rename still refuse a link over an existing name.
        if (::linkat(dir, temporary, dir, name, 0) != 0) return false;
        ::unlinkat(dir, temporary, 0);
        return true;
    }
    if (::renameat2(dir, temporary, dir, name, RENAME_EXCHANGE) != 0) {
        if (errno != EINVAL && errno != ENOSYS) return false;
        return ::renameat(dir, temporary, dir, name) == 0;
    }
    struct stat old = {};
    if (::fstatat(dir, temporary, &old, AT_SYMLINK_NOFOLLOW) == 0 &&
        old.st_dev == replaced->st_dev && old.st_ino == replaced->st_ino) {
        ::unlinkat(dir, temporary, 0);
        return true;
    }
    ::renameat2(dir, temporary, dir, name, RENAME_EXCHANGE);
    why = QStringLiteral("another file took its place while it was being replaced");
    return false;
}

}  // namespace

std::optional<std::string> PrivateFile::Read(const QString& path, qint64 limit, QString& why) {
    why.clear();
    const QByteArray name = QFile::encodeName(path);
    // Without blocking, so that a FIFO cannot stall the window.
    Descriptor fd(
        ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status = {};
    if (fd.get() < 0) {
        const int error = errno;
        if (error == ENOENT) return std::nullopt;
        if (::lstat(name.constData(), &status) == 0 && S_ISLNK(status.st_mode))
            why = Refusal(status);
        else
            why = SystemReason(error);
        return std::nullopt;
    }
    if (::fstat(fd.get(), &status) != 0) {
        why = SystemReason(errno);
        return std::nullopt;
    }
    why = Refusal(status);
    if (!why.isEmpty()) return std::nullopt;
    const QString tooLarge = QStringLiteral("it is larger than %1 MiB").arg(limit >> 20);
    if (status.st_size > limit) {
        why = tooLarge;
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(status.st_size));
    // The file may grow while it is read: the bound holds for what is read, not what was seen.
    char chunk[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            why = SystemReason(errno);
            return std::nullopt;
        }
        if (got == 0) return bytes;
        if (static_cast<qint64>(bytes.size()) + got > limit) {
            why = tooLarge;
            return std::nullopt;
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
}

bool PrivateFile::Replace(const QString& path, std::string_view bytes, QString& why) {
    why.clear();
    const QFileInfo info(path);
    const QByteArray folder = QFile::encodeName(info.path());
    const QByteArray name = QFile::encodeName(info.fileName());
    Descriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) {
        why = SystemReason(errno);
        return false;
    }
    struct stat existing = {};
    const bool present =
        ::fstatat(dir.get(), name.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (!present && errno != ENOENT) {
        why = SystemReason(errno);
        return false;
    }
    if (present) {
        why = Refusal(existing);
        if (!why.isEmpty()) return false;
        // As opening it for writing would, a read-only file stays as it is.
        if (::faccessat(dir.get(), name.constData(), W_OK, AT_EACCESS) != 0) {
            why = SystemReason(errno);
            return false;
        }
    }

    // A new file under a name nobody held: O_EXCL opens nothing that was there, a link neither.
    std::string temporary;
    Descriptor out(-1);
    for (int attempt = 0; attempt < 100 && out.get() < 0; ++attempt) {
        temporary = "." + name.left(200).toStdString() + ".kiv-" + RandomSuffix();
        out.Reset(::openat(dir.get(), temporary.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                           S_IRUSR | S_IWUSR));
        if (out.get() < 0 && errno != EEXIST) break;
    }
    if (out.get() < 0) {
        why = SystemReason(errno);
        return false;
    }
    const int slot = TemporaryFileRegistry::Add(folder.toStdString() + "/" + temporary);
    struct stat created = {};
    // The mode is set on the descriptor: a umask may have taken bits, never added any.
    bool done = ::fstat(out.get(), &created) == 0 && Refusal(created).isEmpty() &&
                ::fchmod(out.get(), S_IRUSR | S_IWUSR) == 0 && WriteAll(out.get(), bytes);
    int error = errno;
    if (!out.Close() && done) {
        done = false;
        error = errno;
    }
    if (done && !PutInPlace(dir.get(), temporary.c_str(), name.constData(),
                            present ? &existing : nullptr, why)) {
        done = false;
        error = errno;
    }
    if (!done) ::unlinkat(dir.get(), temporary.c_str(), 0);
    TemporaryFileRegistry::Remove(slot);
    if (!done) {
        if (why.isEmpty()) why = SystemReason(error);
        return false;
    }
    // Makes the rename itself durable. Best effort: the file is in place either way.
    ::fsync(dir.get());
    return true;
}

}  // namespace kiv
