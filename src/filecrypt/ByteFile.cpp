#include "filecrypt/ByteFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "runtime/SecretWipe.h"

namespace kiv {

namespace {
constexpr std::size_t kReadBuffer = 1 << 20;
// The least buffer taken: reads at or past the end of a file cost no large allocation.
constexpr std::size_t kLeastBuffer = 4 << 10;
// Runs from this length on are mapped rather than read: below it, setting up and tearing down a
// mapping costs more than copying the bytes.
constexpr std::size_t kMapFrom = 32 << 10;
// A write of this much or more into an empty buffer goes straight to the file.
constexpr std::size_t kWriteThroughFrom = 4 << 10;
}  // namespace

struct ByteReader::Buffer {
    explicit Buffer(std::size_t room)
        : bytes(std::make_unique_for_overwrite<std::uint8_t[]>(room)), room(room) {}
    ~Buffer() { WipeBytes(bytes.get(), filled); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t room;
    std::size_t filled = 0;  // the most it has held
};

ByteReader::~ByteReader() {
    Close();
}

bool ByteReader::Open(const std::string& path, int folder) {
    Close();
    // Without O_NONBLOCK, opening a FIFO waits for a writer, forever if none comes. Only
    // regular files are read: a FIFO or device has no length to plan blocks by and may never end.
    fd_ = openat(folder, path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) return false;
    struct stat info {};
    int problem = 0;
    if (fstat(fd_, &info) != 0) {
        problem = errno;
    } else if (!S_ISREG(info.st_mode)) {
        problem = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    } else if (fcntl(fd_, F_SETFL, 0) != 0) {
        // The file was opened with no status flag but O_NONBLOCK, which this clears.
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
    data_ = nullptr;
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
    // What the buffers held is wiped as they go, now or when the last view lets go of them.
    buffer_.reset();
    spare_.reset();
}

bool ByteReader::Fill() {
    if (memory_) return false;
    begin_ = end_ = 0;
    // A buffer a view points into is not written again until the view lets it go.
    if (buffer_ && buffer_.use_count() > 1) {
        std::swap(buffer_, spare_);
        if (buffer_ && buffer_.use_count() > 1) buffer_.reset();
    }
    const std::size_t wanted = static_cast<std::size_t>(
        std::clamp<std::int64_t>(size_ - position_, static_cast<std::int64_t>(kLeastBuffer),
                                 static_cast<std::int64_t>(kReadBuffer)));
    if (!buffer_ || buffer_->room < wanted) buffer_ = std::make_shared<Buffer>(wanted);
    data_ = buffer_->bytes.get();
    for (;;) {
        const ssize_t got = read(fd_, buffer_->bytes.get(), buffer_->room);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            failed_ = true;
            error_ = errno;
            return false;
        }
        end_ = static_cast<std::size_t>(got);
        buffer_->filled = std::max(buffer_->filled, end_);
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
        if (begin_ == end_ && n - done >= kReadBuffer) {
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
    if (begin_ == end_ && n <= kReadBuffer && !failed_) Fill();
    if (end_ - begin_ >= n) {
        view.lent_ = buffer_;
        view.data_ = data_ + begin_;
        begin_ += n;
        position_ += static_cast<std::int64_t>(n);
        return n;
    }
    if (view.copyRoom_ < n) {
        view.copy_ = std::make_unique_for_overwrite<std::uint8_t[]>(n);
        view.copyRoom_ = n;
    }
    view.data_ = view.copy_.get();
    view.copied_ = Read(view.copy_.get(), n);
    return view.copied_;
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
    const auto room = static_cast<std::size_t>(std::min<std::int64_t>(size_, kReadBuffer));
    // Both may be plain text: wiped, as far as they were filled, whatever the outcome.
    Buffer mine(room), theirs(room);
    for (std::int64_t at = 0; at < size_;) {
        const std::size_t a = ReadAt(at, mine.bytes.get(), room);
        const std::size_t b = other.ReadAt(at, theirs.bytes.get(), room);
        mine.filled = std::max(mine.filled, a);
        theirs.filled = std::max(theirs.filled, b);
        const std::size_t both = std::min(a, b);
        if (both == 0) return true;
        if (std::memcmp(mine.bytes.get(), theirs.bytes.get(), both) != 0) return false;
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

ByteWriter::~ByteWriter() {
    WipeBytes(buffer_.get(), mostUsed_);
}

bool ByteWriter::Write(const std::uint8_t* data, std::size_t n) {
    if (failed_) return false;
    if (memory_) return WriteAll(data, n);
    if (used_ + n > kBuffer && !Flush()) return false;
    // Large writes go straight from the caller's memory: one copy less per byte.
    if (n >= kBuffer || (used_ == 0 && n >= kWriteThroughFrom)) return WriteAll(data, n);
    if (!buffer_) buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(kBuffer);
    std::memcpy(buffer_.get() + used_, data, n);
    used_ += n;
    mostUsed_ = std::max(mostUsed_, used_);
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
    if (failed_ || (used_ > 0 && !WriteAll(buffer_.get(), used_))) return false;
    used_ = 0;
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
