#pragma once

#include <fcntl.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "filecrypt/ByteView.h"

namespace kiv {

// A file descriptor opened for reading, with a buffer: a run never makes one system call per
// byte; or bytes in memory read the same way (a FileStore's in-memory files). Closed on
// destruction. The buffer is sized to what is left of the file (at most 1 MiB), so that a small
// file costs one read and no more memory than it holds; it is never cleared before it is filled
// (fresh memory holds no secret) and its bytes are wiped when it is let go, since a source's are
// plain text.
class ByteReader {
  public:
    ByteReader() = default;
    ~ByteReader();
    ByteReader(const ByteReader&) = delete;
    ByteReader& operator=(const ByteReader&) = delete;

    // Opens an existing regular file read-only, without waiting on a FIFO. Returns false (errno
    // set) when it cannot, EISDIR for a folder and EINVAL for anything else not a regular file.
    // With a folder descriptor, a relative path is looked up from that folder.
    bool Open(const std::string& path, int folder = AT_FDCWD);
    // Reads bytes, which must outlive the reader, as the content of a file; Device and Inode
    // are the given identity.
    void OpenBytes(std::string_view bytes, std::uint64_t device, std::uint64_t inode);
    bool IsOpen() const { return fd_ >= 0 || memory_; }
    // The file's length when it was opened.
    std::int64_t Size() const { return size_; }
    std::int64_t Position() const { return position_; }
    // Reads up to n bytes; fewer only at the end of the file or on an error (see failed()).
    std::size_t Read(std::uint8_t* into, std::size_t n);
    // Takes up to n bytes as Read would, into view: in place where they can be (large runs of a
    // file on disk are mapped, bytes in memory and bytes in the buffer are pointed at, the buffer
    // then being left alone until the view lets it go), else copied. Fewer only at the end of the
    // file or on an error (see failed()).
    std::size_t View(std::size_t n, ByteView& view);
    // After a read of a view's mapped bytes failed: the reader fails, with no error number when
    // the file now ends before fileEnd (it shrank under the run), else with EIO.
    void MarkFaulted(std::int64_t fileEnd);
    // Skips n bytes (or to the end of the file); returns how many were skipped.
    std::int64_t Skip(std::int64_t n);
    // Goes back (or on) to position, as if the bytes before it had just been read, and forgets a
    // failed read, so that a second pass over the file meets its faults in its own order. False
    // (errno kept in error()) when the descriptor cannot be moved.
    bool Seek(std::int64_t position);
    bool failed() const { return failed_; }
    // The system's error number of the failed read (errno), or 0.
    int error() const { return error_; }
    // Device and inode, to tell whether two paths name one file.
    std::uint64_t Device() const { return device_; }
    std::uint64_t Inode() const { return inode_; }
    // Whether other holds this file's bytes: the same length, then the same content, compared
    // without moving either position. Two views of one file (another spelling on a filesystem
    // that makes up an identity per lookup, a FUSE view of another device) show no identity in
    // common, only their bytes. Files of different lengths cost no read; a stretch that cannot
    // be read shows no difference, so that a file that may be this one is taken for it.
    bool HoldsSameBytesAs(const ByteReader& other) const;
    void Close();

  private:
    struct Buffer;

    bool Fill();
    std::size_t ReadDirect(std::uint8_t* into, std::size_t n);
    // Up to n bytes from offset on, leaving the position as it is; fewer at the end or on an error.
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* into, std::size_t n) const;
    bool Map(std::size_t n, ByteView& view);

    int fd_ = -1;
    bool memory_ = false;  // reading the bytes at data_ instead of fd_
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
    bool failed_ = false;
    int error_ = 0;
    // The buffer being read, and one put by for when a view still points into it.
    std::shared_ptr<Buffer> buffer_;
    std::shared_ptr<Buffer> spare_;
    const std::uint8_t* data_ = nullptr;  // the buffer's bytes, or the bytes in memory
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

// Writes through a buffer of up to 1 MiB to a descriptor it does not own, or appends to a string
// in memory (a FileStore's in-memory files). A large write that finds the buffer empty goes
// straight to the file: a restored file's bytes are then never copied, and the buffer, taken only
// when needed, is wiped when the writer goes (it may have held plain text).
class ByteWriter {
  public:
    explicit ByteWriter(int fd) : fd_(fd) {}
    explicit ByteWriter(std::string& memory) : memory_(&memory) {}
    ~ByteWriter();
    ByteWriter(const ByteWriter&) = delete;
    ByteWriter& operator=(const ByteWriter&) = delete;
    bool Write(const std::uint8_t* data, std::size_t n);
    bool WriteInt32(std::int32_t value);
    bool Flush();
    // Bytes given to the writer so far.
    std::int64_t Written() const { return written_ + static_cast<std::int64_t>(used_); }
    // Overwrites n bytes written earlier at offset (counted from this writer's first byte),
    // after a flush: a field whose value is known only at the end. False (error() set) where
    // the output cannot go back: ESPIPE for a pipe or a file opened to append.
    bool WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t n);
    bool failed() const { return failed_; }
    // The system's error number of the failed write (errno), or 0.
    int error() const { return error_; }

  private:
    bool WriteAll(const std::uint8_t* data, std::size_t n);

    static constexpr std::size_t kBuffer = 1 << 20;
    int fd_ = -1;
    std::string* memory_ = nullptr;
    bool failed_ = false;
    int error_ = 0;
    std::int64_t written_ = 0;  // bytes handed to the descriptor or the string
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t used_ = 0;
    std::size_t mostUsed_ = 0;  // what the buffer has held, to be wiped
};

// Reads a little-endian signed 32-bit field; false when the file ends first.
bool ReadInt32(ByteReader& reader, std::int32_t& value);

}  // namespace kiv
