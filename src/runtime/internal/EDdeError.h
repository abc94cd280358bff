#pragma once

#include <cstdint>
#include <stdexcept>

namespace kiv {

// Raised when the command service cannot be started at all; the program then stops before its
// window exists. The code keeps the numbering of the Windows DDE management library so that the
// three messages users and scripts already know stay the same.
class EDdeError : public std::runtime_error {
  public:
    static constexpr std::uint32_t kInvalidParameter = 0x4006;   // DMLERR_INVALIDPARAMETER
    static constexpr std::uint32_t kLowMemory = 0x4007;          // DMLERR_LOW_MEMORY
    static constexpr std::uint32_t kMemoryError = 0x4008;        // DMLERR_MEMORY_ERROR
    static constexpr std::uint32_t kNoConvEstablished = 0x400A;  // DMLERR_NO_CONV_ESTABLISHED
    static constexpr std::uint32_t kSysError = 0x400F;           // DMLERR_SYS_ERROR

    explicit EDdeError(std::uint32_t code);

    std::uint32_t code() const { return code_; }

  private:
    std::uint32_t code_;
};

}  // namespace kiv
