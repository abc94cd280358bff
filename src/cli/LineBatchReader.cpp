#include "cli/LineBatchReader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "runtime/SecretWipe.h"

namespace kiv {

namespace {

constexpr std::size_t kReadBytes = std::size_t{1} << 16;

std::string_view WithoutCr(const char* begin, std::size_t length) {
    if (length > 0 && begin[length - 1] == '\r') --length;
    return {begin, length};
}

}  // namespace

void LineBatchReader::Free::operator()(char* data) const {
    std::free(data);
}

LineBatchReader::~LineBatchReader() {
    WipeBytes(buffer_.get(), end_);
}

bool LineBatchReader::Fill() {
    if (ended_) return false;
    // The unread bytes move to the front; the buffer grows only for a line longer than it.
    if (begin_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        WipeBytes(buffer_.get() + (end_ - begin_), begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (capacity_ - end_ < kReadBytes) {
        const std::size_t wanted = std::max(2 * capacity_, end_ + kReadBytes);
        char* grown = static_cast<char*>(std::realloc(buffer_.get(), wanted));
        if (grown == nullptr) throw std::bad_alloc();
        (void)buffer_.release();
        buffer_.reset(grown);
        capacity_ = wanted;
    }
    if (reads_ == Reads::LineAtATime) {
        // Up to and with the next LF, or the rest of the buffer for a longer line.
        in_.get(buffer_.get() + end_, static_cast<std::streamsize>(capacity_ - end_), '\n');
        end_ += static_cast<std::size_t>(in_.gcount());
        // get() fails on an empty line, whose LF is then still to take.
        in_.clear(in_.rdstate() & ~std::ios::failbit);
        if (in_.peek() == '\n') buffer_.get()[end_++] = static_cast<char>(in_.get());
        if (!in_.good()) ended_ = true;
        return true;
    }
    in_.read(buffer_.get() + end_, static_cast<std::streamsize>(capacity_ - end_));
    const auto got = static_cast<std::size_t>(in_.gcount());
    end_ += got;
    if (!in_) ended_ = true;
    return got > 0 || !ended_;
}

bool LineBatchReader::LineBuffered() const {
    // Before the first read the buffer has no data at all, which memchr must not be handed.
    return end_ > begin_ && std::memchr(buffer_.get() + begin_, '\n', end_ - begin_) != nullptr;
}

const std::vector<std::string_view>& LineBatchReader::Next(std::size_t maxLines,
                                                           std::size_t maxBytes) {
    lines_.clear();
    // Enough input for the batch first: the views must not move once taken.
    while (!ended_ &&
           (reads_ == Reads::LineAtATime ? !LineBuffered() : end_ - begin_ < maxBytes + kReadBytes))
        if (!Fill()) break;
    std::size_t bytes = 0;
    while (lines_.size() < maxLines && bytes < maxBytes) {
        const char* from = buffer_.get() + begin_;
        const std::size_t unread = end_ - begin_;
        const auto* lf =
            unread == 0 ? nullptr : static_cast<const char*>(std::memchr(from, '\n', unread));
        if (lf == nullptr) {
            // A line longer than what is buffered ends the batch, unless the batch is still empty.
            if (!lines_.empty() && !ended_) break;
            if (!ended_ && Fill()) continue;
            if (unread > 0) lines_.push_back(WithoutCr(from, unread));
            begin_ = end_;
            break;
        }
        const auto length = static_cast<std::size_t>(lf - from);
        lines_.push_back(WithoutCr(from, length));
        bytes += length;
        begin_ += length + 1;
    }
    return lines_;
}

}  // namespace kiv
