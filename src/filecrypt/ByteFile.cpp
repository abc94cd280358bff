#include "filecrypt/ByteFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kiv {

namespace {
constexpr std::size_t kReadBuffer = 1 << 20;
// Runs from this length on are mapped rather than read: below it, setting up and tearing down a
// mapping costs more than copying the bytes.
constexpr std::size_t kMapFrom = 32 << 10;
}  // namespace

ByteReader::~ByteReader() {
    Close();
}

bool ByteReader::Open(const std::string& path) {
    Close();
    // Without O_NONBLOCK, opening a FIFO waits for a writer, forever if none comes. Only
    // regular files are read: a FIFO or device has no length to plan blocks by and may never end.
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) return false;
    struct stat info {};
    int problem = 0;
    if (fstat(fd_, &info) != 0) {
        problem = errno;
    } else if (!S_ISREG(info.st_mode)) {
        problem = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    } else if (const int flags = fcntl(fd_, F_GETFL);
               flags < 0 || fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        problem = errno;
    }
    if (problem != 0) {
        Close();
        errno = problem;
        return false;
    }
    size_ = info.st_size;
    device_ = info.st_dev;
    inode_ = info.st_ino;
    position_ = 0;
    failed_ = false;
    error_ = 0;
    begin_ = end_ = 0;
    buffer_.resize(kReadBuffer);
    data_ = buffer_.data();
    return true;
}

void ByteReader::OpenBytes(std::string_view bytes, std::uint64_t device, std::uint64_t inode) {
    Close();
    memory_ = true;
    data_ = reinterpret_cast<const std::uint8_t*>(bytes.data());
    size_ = static_cast<std::int64_t>(bytes.size());
    device_ = device;
    inode_ = inode;
    position_ = 0;
    failed_ = false;
    error_ = 0;
    // Everything is buffered from the start.
    begin_ = 0;
    end_ = bytes.size();
}

void ByteReader::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    memory_ = false;
    data_ = nullptr;
    begin_ = end_ = 0;
}

bool ByteReader::Fill() {
    if (memory_) return false;
    begin_ = end_ = 0;
    for (;;) {
        const ssize_t got = read(fd_, buffer_.data(), buffer_.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            failed_ = true;
            error_ = errno;
            return false;
        }
        end_ = static_cast<std::size_t>(got);
        return got > 0;
    }
}

std::size_t ByteReader::ReadDirect(std::uint8_t* into, std::size_t n) {
    if (memory_) return 0;
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = read(fd_, into + done, n - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            failed_ = true;
            error_ = errno;
        }
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::size_t ByteReader::Read(std::uint8_t* into, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        // Large reads go straight to the caller's memory: one copy less per byte.
        if (begin_ == end_ && n - done >= buffer_.size()) {
            const std::size_t got = ReadDirect(into + done, n - done);
            done += got;
            if (got == 0 || failed_) break;
            continue;
        }
        if (begin_ == end_ && !Fill()) break;
        const std::size_t take = std::min(n - done, end_ - begin_);
        std::memcpy(into + done, data_ + begin_, take);
        begin_ += take;
        done += take;
    }
    position_ += static_cast<std::int64_t>(done);
    return done;
}

std::size_t ByteReader::View(std::size_t n, ByteView& view) {
    view.Release();
    view.source_ = this;
    view.fileEnd_ = position_ + static_cast<std::int64_t>(n);
    if (memory_) {
        const std::size_t take = std::min(n, end_ - begin_);
        view.data_ = data_ + begin_;
        begin_ += take;
        position_ += static_cast<std::int64_t>(take);
        return take;
    }
    if (n >= kMapFrom && Map(n, view)) return n;
    view.copy_.resize(n);
    view.data_ = view.copy_.data();
    return Read(view.copy_.data(), n);
}

// Maps the next n bytes, which the file holds now, and moves past them. False, with nothing
// changed, where they cannot be mapped: the run then reads them, and a file cut short meanwhile
// shows as a short read.
bool ByteReader::Map(std::size_t n, ByteView& view) {
    struct stat info {};
    const std::int64_t end = position_ + static_cast<std::int64_t>(n);
    if (fd_ < 0 || failed_ || fstat(fd_, &info) != 0 || info.st_size < end) return false;
    static const auto page = static_cast<std::int64_t>(sysconf(_SC_PAGESIZE));
    const std::int64_t start = position_ / page * page;
    const auto length = static_cast<std::size_t>(end - start);
    // Populated now, on the run's own thread, while others code: the coding threads then find
    // every page in place.
    void* const mapping =
        mmap(nullptr, length, PROT_READ, MAP_SHARED | MAP_POPULATE, fd_, static_cast<off_t>(start));
    if (mapping == MAP_FAILED) return false;
    // The descriptor reads on after the mapped bytes; whatever was buffered lies before them.
    if (lseek(fd_, static_cast<off_t>(end), SEEK_SET) < 0) {
        munmap(mapping, length);
        return false;
    }
    view.mapping_ = mapping;
    view.mappingLength_ = length;
    view.data_ = static_cast<const std::uint8_t*>(mapping) + (position_ - start);
    begin_ = end_ = 0;
    position_ = end;
    return true;
}

std::size_t ByteReader::ReadAt(std::int64_t offset, std::uint8_t* into, std::size_t n) const {
    if (offset >= size_) return 0;
    n = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(n), size_ - offset));
    if (memory_) {
        std::memcpy(into, data_ + offset, n);
        return n;
    }
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = pread(fd_, into + done, n - done, static_cast<off_t>(offset) + done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool ByteReader::HoldsSameBytesAs(const ByteReader& other) const {
    if (!IsOpen() || !other.IsOpen() || size_ != other.size_) return false;
    std::vector<std::uint8_t> mine(std::min<std::int64_t>(size_, kReadBuffer));
    std::vector<std::uint8_t> theirs(mine.size());
    for (std::int64_t at = 0; at < size_;) {
        const std::size_t a = ReadAt(at, mine.data(), mine.size());
        const std::size_t b = other.ReadAt(at, theirs.data(), theirs.size());
        const std::size_t both = std::min(a, b);
        if (both == 0) return true;
        if (std::memcmp(mine.data(), theirs.data(), both) != 0) return false;
        at += static_cast<std::int64_t>(both);
    }
    return true;
}

void ByteReader::MarkFaulted(std::int64_t fileEnd) {
    struct stat info {};
    failed_ = true;
    error_ = fd_ >= 0 && fstat(fd_, &info) == 0 && info.st_size < fileEnd ? 0 : EIO;
}

std::int64_t ByteReader::Skip(std::int64_t n) {
    const std::int64_t buffered = static_cast<std::int64_t>(end_ - begin_);
    if (n <= buffered) {
        begin_ += static_cast<std::size_t>(n);
        position_ += n;
        return n;
    }
    const std::int64_t target = std::min(position_ + n, size_);
    if (memory_) {
        begin_ = end_;
        const std::int64_t skipped = target - position_;
        position_ = target;
        return skipped;
    }
    if (lseek(fd_, target, SEEK_SET) < 0) {
        failed_ = true;
        error_ = errno;
        return 0;
    }
    begin_ = end_ = 0;
    const std::int64_t skipped = target - position_;
    position_ = target;
    return skipped;
}

bool ByteReader::Seek(std::int64_t position) {
    position = std::clamp<std::int64_t>(position, 0, size_);
    failed_ = false;
    error_ = 0;
    if (memory_) {
        begin_ = static_cast<std::size_t>(position);
        position_ = position;
        return true;
    }
    if (lseek(fd_, position, SEEK_SET) < 0) {
        failed_ = true;
        error_ = errno;
        return false;
    }
    begin_ = end_ = 0;
    position_ = position;
    return true;
}

bool ByteWriter::Write(const std::uint8_t* data, std::size_t n) {
    if (failed_) return false;
    if (buffer_.size() + n > kBuffer && !Flush()) return false;
    // Large writes go straight from the caller's memory: one copy less per byte.
    if (n >= kBuffer) return WriteAll(data, n);
    buffer_.insert(buffer_.end(), data, data + n);
    return true;
}

bool ByteWriter::WriteAll(const std::uint8_t* data, std::size_t n) {
    if (memory_) {
        memory_->append(reinterpret_cast<const char*>(data), n);
        written_ += static_cast<std::int64_t>(n);
        return true;
    }
    std::size_t done = 0;
    while (done < n) {
        const ssize_t put = write(fd_, data + done, n - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            failed_ = true;
            // A write of nothing to a regular file means there is no room for the rest.
            error_ = put < 0 ? errno : ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(put);
        written_ += put;
    }
    return true;
}

bool ByteWriter::WriteInt32(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                                   static_cast<std::uint8_t>(u >> 16),
                                   static_cast<std::uint8_t>(u >> 24)};
    return Write(bytes, 4);
}

bool ByteWriter::Flush() {
    if (failed_ || !WriteAll(buffer_.data(), buffer_.size())) return false;
    buffer_.clear();
    return true;
}

bool ByteWriter::WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t n) {
    if (!Flush()) return false;
    if (offset < 0 || offset + static_cast<std::int64_t>(n) > written_) {
        failed_ = true;
        error_ = EINVAL;
        return false;
    }
    if (memory_) {
        const auto at = memory_->size() - static_cast<std::size_t>(written_ - offset);
        memory_->replace(at, n, reinterpret_cast<const char*>(data), n);
        return true;
    }
    // Appending writes land at the end whatever the offset says.
    const int flags = fcntl(fd_, F_GETFL);
    const off_t end = lseek(fd_, 0, SEEK_CUR);
    if (flags < 0 || (flags & O_APPEND) != 0 || end < 0) {
        failed_ = true;
        error_ = flags >= 0 && end >= 0 ? ESPIPE : errno;
        return false;
    }
    const off_t first = end - written_;  // the descriptor may have held bytes before this writer's
    std::size_t done = 0;
    while (done < n) {
        const ssize_t put =
            pwrite(fd_, data + done, n - done, first + offset + static_cast<off_t>(done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            failed_ = true;
            error_ = put < 0 ? errno : ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool ReadInt32(ByteReader& reader, std::int32_t& value) {
    std::uint8_t bytes[4];
    if (reader.Read(bytes, 4) != 4) return false;
    value = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
        static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
    return true;
}

}  // namespace kiv
