#include "readers/method_floating_point.h"

namespace vivezeru5 {

#if defined(VIVEZERU5_X86_FLOATING_POINT)

CallerFloatingPoint enterMethodFloatingPoint() noexcept {
    CallerFloatingPoint caller{};
    // fnstenv also masks every x87 exception, so that a flag the caller left
    // pending cannot fire inside the library; fnclex then clears the flags.
    __asm__ volatile("fnstenv %0" : "=m"(caller.x87) : : "memory");
    __asm__ volatile("stmxcsr %0" : "=m"(caller.mxcsr) : : "memory");
    const std::uint16_t controlWord = kMethodX87ControlWord;
    const std::uint32_t mxcsr = kMethodMxcsr;
    __asm__ volatile("fnclex\n\tfldcw %0" : : "m"(controlWord) : "memory");
    __asm__ volatile("ldmxcsr %0" : : "m"(mxcsr) : "memory");
    return caller;
}

void leaveMethodFloatingPoint(const CallerFloatingPoint& caller) noexcept {
    __asm__ volatile("ldmxcsr %0" : : "m"(caller.mxcsr) : "memory");
    __asm__ volatile("fldenv %0" : : "m"(caller.x87) : "memory");
}

#else

CallerFloatingPoint enterMethodFloatingPoint() noexcept {
    CallerFloatingPoint caller{};
    std::fegetenv(&caller.environment);
    std::fenv_t held;
    std::feholdexcept(&held);  // clears the flags and stops trapping, where it can
    std::fesetround(FE_TONEAREST);
    return caller;
}

void leaveMethodFloatingPoint(const CallerFloatingPoint& caller) noexcept {
    std::fesetenv(&caller.environment);
}

#endif

}  // namespace vivezeru5
