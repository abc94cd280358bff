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

// The instant the file runs' tests and seeds share: fixed, so that their outputs can be compared
// byte for byte.
inline const FixedClock kFileRunClock(1765000000, LocalTime{2026, 12, 7, 11, 0, 0, 0});

}  // namespace kiv
