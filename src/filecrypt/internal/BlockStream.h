#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "filecrypt/ByteView.h"
#include "filecrypt/FileRunObserver.h"
#include "filecrypt/FileRunSpeed.h"

namespace kiv {

// Streams one entry's blocks from a file through the codec to another file, a chunk at a time:
// while the helper threads and the run's own thread code chunk c, the run's thread writes chunk
// c - 1 and reads chunk c + 1, then joins in the coding. Progress, cancel and failures are handled
// between chunks, in the order of a plain read-code-write loop: a chunk that failed to read is
// reported only after every chunk before it was written. Memory stays at four chunks; fewer where
// the input is taken in place (mapped), which also spares the copy a read makes.
class BlockStream {
  public:
    enum class End { Completed, ReadFailed, WriteFailed, Cancelled };

    struct Steps {
        // Takes exactly n bytes into view, or fails. Mapped bytes that fail to read while they
        // are coded end the run as a failed read (after view.ReportFault()).
        std::function<bool(std::size_t n, ByteView& view)> read;
        // Codes count blocks; called from several threads at once when concurrent is true.
        std::function<void(const std::uint8_t* in, std::size_t count, std::uint8_t* out)> code;
        bool concurrent = true;
        // Writes n coded bytes, or fails.
        std::function<bool(const std::uint8_t* data, std::size_t n)> write;
        // Whether the coded bytes are plain text (a restore's), wiped from memory once written.
        bool plainOut = false;
        // After blocks first..last (counted from 1) are written.
        std::function<void(std::int64_t first, std::int64_t last)> progress;
    };

    // blocks of inWidth bytes become blocks of outWidth bytes; the last block's final
    // trimLast bytes are not written.
    BlockStream(std::int64_t blocks, std::size_t inWidth, std::size_t outWidth,
                std::size_t trimLast = 0);

    End Run(const Steps& steps, const FileRunSpeed& speed, FileRunObserver& observer) const;

  private:
    std::int64_t blocks_;
    std::size_t inWidth_;
    std::size_t outWidth_;
    std::size_t trimLast_;
};

}  // namespace kiv
