#pragma once

#include <stdexcept>
#include <string>

namespace kiv {

// A trapped floating-point condition. Its message is one of the three texts the exception
// display shows: "Invalid floating point operation", "Floating point division by zero",
// "Floating point overflow".
class FloatingPointError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Sets the process's floating-point environment: extended precision, round to nearest, all
// sticky flags cleared. Call once at process start.
void SetFloatingPointEnvironment();

// Raises FloatingPointError when an invalid operation, a division by zero or an overflow has
// happened since the flags were last cleared, and clears them. On Linux a hardware trap arrives
// as a signal that cannot be turned into an exception safely, so the numeric code checks the
// sticky flags at the end of each step instead.
void RaiseTrappedFloatingPoint();

}  // namespace kiv
