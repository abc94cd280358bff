#pragma once

#include <cstdint>

namespace kiv {

// When the per-file bar moves: a counter grows before each block and, once it exceeds
// blocks div 100, the bar moves to that block and the counter restarts. So the bar moves at
// blocks step+1, 2(step+1), ...: before every block for small files, about a hundred times for
// large ones.
class ProgressRhythm {
  public:
    explicit ProgressRhythm(std::int64_t blocks) : every_(blocks / 100 + 1) {}

    // Calls update(m) for every update point m among the blocks first..last (counted from 1).
    template <typename Update>
    void Advance(std::int64_t first, std::int64_t last, Update&& update) const {
        for (std::int64_t m = (first + every_ - 1) / every_ * every_; m <= last; m += every_)
            update(m);
    }

  private:
    std::int64_t every_;
};

}  // namespace kiv
