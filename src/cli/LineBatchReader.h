#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <string_view>
#include <vector>

namespace kiv {

// Reads a stream's lines in batches, straight from large reads, without copying each line: the
// text commands take thousands of short lines per second and hand whole batches to the cipher.
// Two buffers take turns, so that one batch can be coded while the next one is read.
class LineBatchReader {
  public:
    // Reading a line at a time takes no more input than the lines handed out need, so that
    // somebody typing at a terminal gets each answer before typing the next line.
    enum class Reads { Large, LineAtATime };
    // A line longer than longestLine bytes (without its LF or CR LF) is not kept: it is handed
    // out empty and named by TooLong(), and the reader reads past the rest of it holding no more
    // than about longestLine bytes, so that an endless line takes bounded memory.
    LineBatchReader(std::istream& in, std::size_t longestLine, Reads reads = Reads::Large)
        : in_(in), reads_(reads), longest_(longestLine) {}
    // The input read is wiped when the reader goes: it may be plain text.
    ~LineBatchReader();
    LineBatchReader(const LineBatchReader&) = delete;
    LineBatchReader& operator=(const LineBatchReader&) = delete;

    // The next lines, each without its LF or CR LF (a last line without LF counts too): at most
    // maxLines of them, and no more once they hold maxBytes. The batch (the vector and the
    // views) stays valid through the next call, until the call after it. Empty only at the end
    // of the input.
    const std::vector<std::string_view>& Next(std::size_t maxLines, std::size_t maxBytes);
    // The places, in the latest batch, of the lines that were too long, in order.
    const std::vector<std::size_t>& TooLong() const { return buffers_[current_].tooLong; }

  private:
    // Reads more input after the unread bytes; false at the end of the input.
    bool Fill();

    bool LineBuffered() const;
    // Adds the line at [from, from + length) to the batch, or an empty one in its place.
    void Add(const char* from, std::size_t length);
    // Reads past the rest of a line too long to keep, up to and with its LF.
    void SkipLine();

    struct Free {
        void operator()(char* data) const;
    };
    // Grown with realloc, which moves a large block by remapping its pages rather than copying
    // them, and leaves the room not yet read into untouched: a long line then costs about its
    // own length, not the two or three times a copying, zero-filling growth would.
    struct Buffer {
        std::unique_ptr<char, Free> data;
        std::size_t capacity = 0;
        std::size_t used = 0;  // bytes that may still hold earlier input, to wipe
        std::vector<std::string_view> lines;
        std::vector<std::size_t> tooLong;
    };

    std::istream& in_;
    const Reads reads_;
    const std::size_t longest_;
    Buffer buffers_[2];
    int current_ = 0;        // the buffer of the latest batch and of the unread bytes
    std::size_t begin_ = 0;  // the unread bytes are buffers_[current_].data[begin_, end_)
    std::size_t end_ = 0;
    bool ended_ = false;
};

}  // namespace kiv
