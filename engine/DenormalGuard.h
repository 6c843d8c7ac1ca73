// Flushes denormal floats to zero for the lifetime of the guard and then
// restores the caller's floating-point state. A decaying envelope would
// otherwise pass through denormal values, which the processor handles
// dozens of times more slowly than normal ones.
#pragma once

#include <xmmintrin.h>

class DenormalGuard {
public:
    // Many hosts run their audio thread with both flags set already; the
    // register is written only when one is missing, since writing it costs
    // a block of 64 frames more than a few samples do.
    DenormalGuard() : savedState(_mm_getcsr()) {
        if (!bothSet()) _mm_setcsr(savedState | kBothFlags);
    }
    ~DenormalGuard() {
        if (!bothSet()) _mm_setcsr(savedState);
    }
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
    static constexpr unsigned int kFlushToZero = 0x8000;
    static constexpr unsigned int kDenormalsAreZero = 0x0040;
    static constexpr unsigned int kBothFlags = kFlushToZero | kDenormalsAreZero;
    bool bothSet() const { return (savedState & kBothFlags) == kBothFlags; }
    unsigned int savedState;
};
