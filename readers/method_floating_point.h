// The floating-point environment the method is defined in, installed for the
// length of one exported call whatever the host has set.
//
// The analysis computes NaN and infinities on purpose (a missing value
// reaching a logarithm), and its results are defined in round-to-nearest.
// A host may have unmasked exceptions (Delphi programs run with invalid
// operation, division by zero and overflow unmasked), another rounding
// direction, or flush-to-zero; none of that may reach the method, and the
// host must get its own settings back: its control bits and its sticky
// exception flags exactly as they were, so that a host that polls
// fetestexcept sees nothing of the library's NaNs.
#pragma once

#include <cstdint>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define VIVEZERU5_X86_FLOATING_POINT 1
#else
#include <cfenv>
#endif

namespace vivezeru5 {

#if defined(VIVEZERU5_X86_FLOATING_POINT)
// The x87 unit's environment as fnstenv stores it in 32-bit protected mode:
// control, status and tag words and the last instruction's pointers.
struct X87Environment {
    std::uint32_t words[7];
};

// The caller's settings: the SSE control and status register, and the x87
// environment (the x86-64 maths library, and every 32-bit one, may still
// compute with the x87 unit).
struct CallerFloatingPoint {
    std::uint32_t mxcsr;
    X87Environment x87;
};

// SSE: every exception masked, round to nearest, flush-to-zero and
// denormals-are-zero off, no flag raised.
inline constexpr std::uint32_t kMethodMxcsr = 0x1F80;
// x87: every exception masked, round to nearest, 64-bit significands (the
// word the unit starts with).
inline constexpr std::uint16_t kMethodX87ControlWord = 0x037F;
#else
struct CallerFloatingPoint {
    std::fenv_t environment;
};
#endif

// Saves the caller's settings and installs the method's.
CallerFloatingPoint enterMethodFloatingPoint() noexcept;

// Gives the caller's settings back, flags included, dropping whatever the
// library raised.
void leaveMethodFloatingPoint(const CallerFloatingPoint& caller) noexcept;

// The method's environment for the lifetime of the object.
class MethodFloatingPointScope {
public:
    MethodFloatingPointScope() noexcept : caller_(enterMethodFloatingPoint()) {}
    ~MethodFloatingPointScope() { leaveMethodFloatingPoint(caller_); }
    MethodFloatingPointScope(const MethodFloatingPointScope&) = delete;
    MethodFloatingPointScope& operator=(const MethodFloatingPointScope&) = delete;

private:
    CallerFloatingPoint caller_;
};

}  // namespace vivezeru5
