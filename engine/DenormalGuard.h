// Flushes denormal floats to zero for the lifetime of the guard and then
// restores the caller's floating-point state. A decaying envelope would
// otherwise pass through denormal values, which the processor handles
// dozens of times more slowly than normal ones.
#pragma once

#include <xmmintrin.h>

class DenormalGuard {
public:
    DenormalGuard() : savedState(_mm_getcsr()) { _mm_setcsr(savedState | kFlushToZero | kDenormalsAreZero); }
    ~DenormalGuard() { _mm_setcsr(savedState); }
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
    static constexpr unsigned int kFlushToZero = 0x8000;
    static constexpr unsigned int kDenormalsAreZero = 0x0040;
    unsigned int savedState;
};
