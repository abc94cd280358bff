#include "cli/FdStreamBuf.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kiv {

FdStreamBuf::FdStreamBuf(int fd, std::size_t size) : fd_(fd), in_(size), out_(size) {
    setp(out_.data(), out_.data() + out_.size());
}

FdStreamBuf::~FdStreamBuf() {
    FlushOut();
}

FdStreamBuf::int_type FdStreamBuf::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (error_ != 0) return traits_type::eof();
    for (;;) {
        const ssize_t got = read(fd_, in_.data(), in_.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) error_ = errno;
        if (got <= 0) return traits_type::eof();
        setg(in_.data(), in_.data(), in_.data() + got);
        return traits_type::to_int_type(*gptr());
    }
}

std::size_t FdStreamBuf::WriteAll(const char* from, const char* to) {
    const char* const begin = from;
    while (error_ == 0 && from < to) {
        const ssize_t put = write(fd_, from, static_cast<std::size_t>(to - from));
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) error_ = errno;
        if (put > 0) from += put;
    }
    return static_cast<std::size_t>(from - begin);
}

std::streamsize FdStreamBuf::xsgetn(char* data, std::streamsize size) {
    // What is buffered comes first.
    const std::streamsize buffered = std::min<std::streamsize>(egptr() - gptr(), size);
    if (buffered > 0) {
        std::memcpy(data, gptr(), static_cast<std::size_t>(buffered));
        gbump(static_cast<int>(buffered));
    }
    std::streamsize got = buffered;
    if (size - got < static_cast<std::streamsize>(in_.size()))
        return got + std::streambuf::xsgetn(data + got, size - got);
    while (got < size && error_ == 0) {
        const ssize_t read = ::read(fd_, data + got, static_cast<std::size_t>(size - got));
        if (read < 0 && errno == EINTR) continue;
        if (read < 0) error_ = errno;
        if (read <= 0) break;
        got += read;
    }
    return got;
}

bool FdStreamBuf::FlushOut() {
    WriteAll(pbase(), pptr());
    setp(out_.data(), out_.data() + out_.size());
    return error_ == 0;
}

std::streamsize FdStreamBuf::xsputn(const char* data, std::streamsize size) {
    if (static_cast<std::size_t>(size) < out_.size()) return std::streambuf::xsputn(data, size);
    if (!FlushOut()) return 0;
    return static_cast<std::streamsize>(WriteAll(data, data + size));
}

FdStreamBuf::int_type FdStreamBuf::overflow(int_type c) {
    if (!FlushOut()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

int FdStreamBuf::sync() {
    return FlushOut() ? 0 : -1;
}

std::string StreamFailure(const std::ios& stream) {
    const auto* buffer = dynamic_cast<const FdStreamBuf*>(stream.rdbuf());
    if (buffer != nullptr && buffer->error() != 0) {
        const char* words = strerrordesc_np(buffer->error());
        return words != nullptr ? words : "error " + std::to_string(buffer->error());
    }
    return stream.bad() ? "Input/output error" : "";
}

}  // namespace kiv
