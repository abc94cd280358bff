#include "numeric/FloatingPointEnvironment.h"

#include <cfenv>

namespace kiv {

void SetFloatingPointEnvironment() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned short control = 0;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    control = static_cast<unsigned short>((control & ~0x0F00u) | 0x0300u);  // 64-bit, nearest
    __asm__ volatile("fldcw %0" : : "m"(control));
#endif
    std::fesetround(FE_TONEAREST);
    std::feclearexcept(FE_ALL_EXCEPT);
}

void RaiseTrappedFloatingPoint() {
    const int raised = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    if (raised == 0) return;
    std::feclearexcept(FE_ALL_EXCEPT);
    if (raised & FE_INVALID) throw FloatingPointError("Invalid floating point operation");
    if (raised & FE_DIVBYZERO) throw FloatingPointError("Floating point division by zero");
    throw FloatingPointError("Floating point overflow");
}

}  // namespace kiv
