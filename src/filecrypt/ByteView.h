#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kiv {

class ByteReader;

// A run of a file's bytes, taken once for coding, held where it costs least: the file's own pages
// mapped into memory (no copy), a reader's bytes in memory or in its buffer (which the reader
// leaves alone while the view holds it), or else a copy of its own, wiped when released. Filled by
// ByteReader::View; valid until Release, the next View into it, or its end.
class ByteView {
  public:
    ByteView() = default;
    ~ByteView();
    ByteView(const ByteView&) = delete;
    ByteView& operator=(const ByteView&) = delete;

    const std::uint8_t* data() const { return data_; }
    // Whether the bytes are a file's mapped pages. Reading those raises SIGBUS where the file has
    // shrunk since or its storage fails; such reads belong inside MappedReadGuard::Run.
    bool Mapped() const { return mapping_ != nullptr; }
    // Marks the reader the bytes came from failed, after a read of them did (a SIGBUS caught):
    // with no error number when the file has shrunk below them since, else with EIO.
    void ReportFault() const;
    void Release();

  private:
    friend class ByteReader;

    const std::uint8_t* data_ = nullptr;
    void* mapping_ = nullptr;
    std::size_t mappingLength_ = 0;
    std::int64_t fileEnd_ = 0;          // where in the file the bytes end
    std::shared_ptr<const void> lent_;  // the reader's buffer the bytes lie in
    // A copy's memory, kept from one view to the next; copied_ bytes of it were used.
    std::unique_ptr<std::uint8_t[]> copy_;
    std::size_t copyRoom_ = 0;
    std::size_t copied_ = 0;
    ByteReader* source_ = nullptr;
};

}  // namespace kiv
