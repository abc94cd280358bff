#pragma once

#include <ios>
#include <streambuf>
#include <string>
#include <vector>

namespace kiv {

// A stream buffer over a descriptor it does not own, which keeps the system's error number of a
// failed read or write: iostreams only say that something failed, and kiv-cli says why ("No
// space left on device", "Is a directory").
class FdStreamBuf final : public std::streambuf {
  public:
    explicit FdStreamBuf(int fd, std::size_t size = std::size_t{1} << 16);
    ~FdStreamBuf() override;
    FdStreamBuf(const FdStreamBuf&) = delete;
    FdStreamBuf& operator=(const FdStreamBuf&) = delete;

    // The errno of the first failed read or write, or 0.
    int error() const { return error_; }

  protected:
    int_type underflow() override;
    // Reads as large as the buffer go straight into the caller's room, without a copy.
    std::streamsize xsgetn(char* data, std::streamsize size) override;
    int_type overflow(int_type c) override;
    int sync() override;
    // Writes as large as the buffer go straight to the descriptor, without a copy.
    std::streamsize xsputn(const char* data, std::streamsize size) override;

  private:
    bool FlushOut();
    // Writes all of [from, to) unless a write fails; returns the bytes written.
    std::size_t WriteAll(const char* from, const char* to);

    int fd_;
    int error_ = 0;
    std::vector<char> in_;
    std::vector<char> out_;
};

// The system's words for why stream failed, in English: its FdStreamBuf's error, or a general
// "input/output error" for a stream without one. "" when nothing failed.
std::string StreamFailure(const std::ios& stream);

}  // namespace kiv
