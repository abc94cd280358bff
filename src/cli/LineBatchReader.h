#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <string_view>
#include <vector>

namespace kiv {

// Reads a stream's lines in batches, straight from large reads, without copying each line: the
// text commands take thousands of short lines per second and hand whole batches to the cipher.
class LineBatchReader {
  public:
    // Reading a line at a time takes no more input than the lines handed out need, so that
    // somebody typing at a terminal gets each answer before typing the next line.
    enum class Reads { Large, LineAtATime };
    explicit LineBatchReader(std::istream& in, Reads reads = Reads::Large)
        : in_(in), reads_(reads) {}
    // The input read is wiped when the reader goes: it may be plain text.
    ~LineBatchReader();
    LineBatchReader(const LineBatchReader&) = delete;
    LineBatchReader& operator=(const LineBatchReader&) = delete;

    // The next lines, each without its LF or CR LF (a last line without LF counts too): at most
    // maxLines of them, and no more once they hold maxBytes. The views stay valid until the next
    // call. Empty only at the end of the input.
    const std::vector<std::string_view>& Next(std::size_t maxLines, std::size_t maxBytes);

  private:
    // Reads more input after the unread bytes; false at the end of the input.
    bool Fill();

    bool LineBuffered() const;

    std::istream& in_;
    const Reads reads_;
    // Grown with realloc, which moves a large block by remapping its pages rather than copying
    // them, and leaves the room not yet read into untouched: a long line then costs about its
    // own length, not the two or three times a copying, zero-filling growth would.
    struct Free {
        void operator()(char* data) const;
    };
    std::unique_ptr<char, Free> buffer_;
    std::size_t capacity_ = 0;
    std::size_t begin_ = 0;  // the unread bytes are buffer_[begin_, end_)
    std::size_t end_ = 0;
    bool ended_ = false;
    std::vector<std::string_view> lines_;
};

}  // namespace kiv
