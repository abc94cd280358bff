#pragma once

#include <cstdint>

namespace kiv {

// When the per-file bar moves: a counter grows before each block and, once it exceeds
// blocks div 100, the bar moves to that block and the counter restarts. So the bar moves at
// blocks step+1, 2(step+1), ...: before every block for small files, about a hundred times for
// large ones. Blocks are written a chunk at a time, so the points of one chunk are all reached at
// once: only the last of them is shown, since the others would be overdrawn before anybody saw
// them (a run over thousands of small files would otherwise send the bar a hundred positions per
// file).
class ProgressRhythm {
  public:
    explicit ProgressRhythm(std::int64_t blocks) : every_(blocks / 100 + 1) {}

    // Calls update(m) for the last update point m among the blocks first..last (counted from 1),
    // if there is one.
    template <typename Update>
    void Advance(std::int64_t first, std::int64_t last, Update&& update) const {
        const std::int64_t m = last / every_ * every_;
        if (m >= first && m > 0) update(m);
    }

  private:
    std::int64_t every_;
};

}  // namespace kiv
