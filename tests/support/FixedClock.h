#pragma once

#include "numeric/Clock.h"

namespace kiv {

// A clock that always reads the same instant: for reproducible runs in tests and benchmarks.
class FixedClock final : public Clock {
  public:
    FixedClock(std::int32_t seconds, LocalTime local) : seconds_(seconds), local_(local) {}

    std::int32_t ClockSeconds() const override { return seconds_; }
    LocalTime LocalNow() const override { return local_; }

    void Set(std::int32_t seconds, LocalTime local) {
        seconds_ = seconds;
        local_ = local;
    }

  private:
    std::int32_t seconds_;
    LocalTime local_;
};

}  // namespace kiv
