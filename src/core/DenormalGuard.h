#pragma once

#include <cstdint>

#if defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#define TIDEPULL_DENORMAL_GUARD_SSE 1
#endif

// Flush-to-zero and denormals-are-zero for the life of the guard; the
// caller's floating-point mode, status flags included, is put back when it
// goes, on every way out. Subnormal numbers take slow paths on many
// processors, and the chain's memories (filters, envelope, meter, a mix
// smoother heading for 0) decay into them in silence. Flushing only touches
// values around 1e-308 (1e-38 for the single-precision smoothers), far below
// anything audible. x86-64 only; elsewhere the guard does nothing.
class DenormalGuard {
public:
#ifdef TIDEPULL_DENORMAL_GUARD_SSE
    static constexpr uint32_t kFlushToZero = 0x8000;
    static constexpr uint32_t kDenormalsAreZero = 0x0040;

    DenormalGuard() : saved(_mm_getcsr())
    {
        _mm_setcsr(saved | kFlushToZero | kDenormalsAreZero);
    }
    ~DenormalGuard()
    {
        _mm_setcsr(saved);
    }
#else
    DenormalGuard() = default;
    ~DenormalGuard() = default;
#endif

    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
#ifdef TIDEPULL_DENORMAL_GUARD_SSE
    unsigned int saved;
#endif
};
