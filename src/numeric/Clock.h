#pragma once

#include <cstdint>

namespace kiv {

// A local calendar reading at millisecond resolution.
struct LocalTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The two clock readings the cipher depends on. Injected everywhere so that a run with a fixed
// clock is reproducible to the byte.
class Clock {
  public:
    virtual ~Clock() = default;
    // Whole seconds since 1970-01-01 00:00:00 UTC as a signed 32-bit count; -1 when the local
    // year lies outside 1970..2038.
    virtual std::int32_t ClockSeconds() const = 0;
    // The local date and time of day.
    virtual LocalTime LocalNow() const = 0;
};

}  // namespace kiv
