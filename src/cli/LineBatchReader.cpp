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
    for (Buffer& buffer : buffers_)
        WipeBytes(buffer.data.get(), buffer.used);
}

bool LineBatchReader::Fill() {
    if (ended_) return false;
    // Only a batch with no line yet reads more, so the unread bytes still start the buffer
    // (begin_ is 0) and no view moves; the buffer grows only for a line longer than it.
    Buffer& buffer = buffers_[current_];
    if (buffer.capacity - end_ < kReadBytes) {
        // Room for the longest line kept, its CR LF and one read is all a line ever needs.
        const std::size_t wanted = std::min(std::max(2 * buffer.capacity, end_ + kReadBytes),
                                            std::max(end_, longest_ + 2) + kReadBytes);
        char* grown = static_cast<char*>(std::realloc(buffer.data.get(), wanted));
        if (grown == nullptr) throw std::bad_alloc();
        (void)buffer.data.release();
        buffer.data.reset(grown);
        buffer.capacity = wanted;
    }
    char* const data = buffer.data.get();
    const std::size_t before = end_;
    if (reads_ == Reads::LineAtATime) {
        // Up to and with the next LF, or the rest of the buffer for a longer line.
        in_.get(data + end_, static_cast<std::streamsize>(buffer.capacity - end_), '\n');
        end_ += static_cast<std::size_t>(in_.gcount());
        // get() fails on an empty line, whose LF is then still to take.
        in_.clear(in_.rdstate() & ~std::ios::failbit);
        if (in_.peek() == '\n') data[end_++] = static_cast<char>(in_.get());
        if (!in_.good()) ended_ = true;
        buffer.used = std::max(buffer.used, end_);
        return true;
    }
    in_.read(data + end_, static_cast<std::streamsize>(buffer.capacity - end_));
    end_ += static_cast<std::size_t>(in_.gcount());
    buffer.used = std::max(buffer.used, end_);
    if (!in_) ended_ = true;
    return end_ > before || !ended_;
}

bool LineBatchReader::LineBuffered() const {
    // Before the first read the buffer has no data at all, which memchr must not be handed.
    return end_ > begin_ &&
           std::memchr(buffers_[current_].data.get() + begin_, '\n', end_ - begin_) != nullptr;
}

void LineBatchReader::Add(const char* from, std::size_t length) {
    Buffer& buffer = buffers_[current_];
    const std::string_view line = WithoutCr(from, length);
    if (line.size() <= longest_) {
        buffer.lines.push_back(line);
        return;
    }
    buffer.tooLong.push_back(buffer.lines.size());
    buffer.lines.emplace_back();
}

void LineBatchReader::SkipLine() {
    for (;;) {
        // What is read of the line is dropped: the next read takes its room, and what no read
        // overwrites is wiped with the batch.
        begin_ = end_ = 0;
        if (!Fill()) return;
        const char* const data = buffers_[current_].data.get();
        if (const auto* lf = static_cast<const char*>(std::memchr(data, '\n', end_))) {
            begin_ = static_cast<std::size_t>(lf - data) + 1;
            return;
        }
        if (ended_) {
            begin_ = end_;
            return;
        }
    }
}

const std::vector<std::string_view>& LineBatchReader::Next(std::size_t maxLines,
                                                           std::size_t maxBytes) {
    // The latest batch stays where it is, for whoever still codes it; the unread bytes go over
    // to the other buffer, whose batch is done with and whose old input is overwritten or wiped.
    const Buffer& latest = buffers_[current_];
    current_ = 1 - current_;
    Buffer& buffer = buffers_[current_];
    buffer.lines.clear();
    buffer.tooLong.clear();
    const std::size_t unread = end_ - begin_;
    // A buffer that grew for one long line lets its room go once the line is done with.
    const std::size_t roomy = 2 * (std::max(maxBytes, unread) + 2 * kReadBytes);
    if (buffer.capacity < unread + kReadBytes || buffer.capacity > roomy) {
        WipeBytes(buffer.data.get(), buffer.used);
        buffer.data.reset(static_cast<char*>(std::malloc(unread + kReadBytes)));
        buffer.capacity = buffer.data ? unread + kReadBytes : 0;
        buffer.used = 0;
        if (!buffer.data) throw std::bad_alloc();
    }
    // An empty buffer may have no data at all, which memcpy must not be handed.
    if (unread > 0) std::memcpy(buffer.data.get(), latest.data.get() + begin_, unread);
    begin_ = 0;
    end_ = unread;

    std::vector<std::string_view>& lines = buffer.lines;
    // Enough input for the batch first: the views must not move once taken.
    while (!ended_ &&
           (reads_ == Reads::LineAtATime ? !LineBuffered() && end_ - begin_ < longest_ + 2
                                         : end_ - begin_ < maxBytes + kReadBytes))
        if (!Fill()) break;
    std::size_t bytes = 0;
    while (lines.size() < maxLines && bytes < maxBytes) {
        const char* from = buffer.data.get() + begin_;
        const std::size_t left = end_ - begin_;
        const auto* lf =
            left == 0 ? nullptr : static_cast<const char*>(std::memchr(from, '\n', left));
        if (lf == nullptr) {
            // A line longer than what is buffered ends the batch, unless the batch is still empty.
            if (!lines.empty() && !ended_) break;
            // Without its LF in longest_ + 2 bytes (a CR may come before the LF), a line is too
            // long whatever follows.
            if (!ended_ && left >= longest_ + 2) {
                SkipLine();
                buffer.tooLong.push_back(lines.size());
                lines.emplace_back();
                continue;
            }
            if (!ended_ && Fill()) continue;
            if (left > 0) Add(from, left);
            begin_ = end_;
            break;
        }
        const auto length = static_cast<std::size_t>(lf - from);
        Add(from, length);
        bytes += length;
        begin_ += length + 1;
    }
    // Input of two batches ago past what this one holds would otherwise stay unwiped.
    if (buffer.used > end_) WipeBytes(buffer.data.get() + end_, buffer.used - end_);
    buffer.used = end_;
    return lines;
}

}  // namespace kiv
