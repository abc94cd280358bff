#pragma once

#include <cstdint>
#include <string>

#include "numeric/Clock.h"

namespace kiv {

// Extended precision: on x86-64 `long double` is the x87 80-bit format with a 64-bit
// significand, the precision the key schedule's logarithm sums were defined with.
using Extended = long double;

// ln x, computed as ln 2 x log2 x at extended precision and not rounded further. ln 0 is minus
// infinity and ln of a negative number is a NaN; neither raises.
Extended NaturalLog(double x);

// Converts toward zero to a 64-bit integer and keeps its low 32 bits; NaN and values outside the
// 64-bit range give 0.
std::int32_t TruncateToInt(Extended x);

// The part of the local day that has passed, at millisecond resolution: 0 <= value < 1.
double TimeOfDayFraction(const Clock& clock);

// The time stamp of a text encryption: the fraction times 1e9, truncated (0..999999999).
std::int32_t TimeStampOf(double timeOfDay);

// Days since 1899-12-30 00:00 (local) for the given local date and time of day.
double DateTimeValue(const LocalTime& local);

// A date-and-time value as text in the current C locale: a whole day gives the short date
// alone, a value below one day gives the time alone, anything else both.
std::string DateTimeText(double value);

}  // namespace kiv
