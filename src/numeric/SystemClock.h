#pragma once

#include "numeric/Clock.h"

namespace kiv {

// The machine's real-time clock in the local time zone.
class SystemClock final : public Clock {
  public:
    std::int32_t ClockSeconds() const override;
    LocalTime LocalNow() const override;

    // One shared instance; it holds no state.
    static const SystemClock& Instance();
};

}  // namespace kiv
