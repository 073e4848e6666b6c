#pragma once

#include <cstdint>

// The processor's mode, not a vector path: the plain branches that
// TIDEPULL_PORTABLE_PATHS takes on x86-64 run under it just the same.
#if defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#define TIDEPULL_DENORMAL_GUARD_SSE 1
#elif defined(__aarch64__)
#define TIDEPULL_DENORMAL_GUARD_FPCR 1
#endif

// Flush-to-zero and denormals-are-zero for the life of the guard; the
// caller's floating-point mode, status flags included, is put back when it
// goes, on every way out. Subnormal numbers take slow paths on many
// processors, and the chain's memories (filters, envelope, meter, a mix
// smoother heading for 0) decay into them in silence. Flushing only touches
// values around 1e-308 (1e-38 for the single-precision smoothers), far below
// anything audible. On x86-64 the MXCSR's FTZ and DAZ; on AArch64 FPCR.FZ,
// which flushes inputs and results alike, so the two give the same bits
// (AArch64 takes a result as tiny before rounding, x86 after: only a result
// that rounds up to the smallest normal number, within 2^-54 of it, differs).
// Elsewhere the guard does nothing.
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
#elif defined(TIDEPULL_DENORMAL_GUARD_FPCR)
    // FZ alone: FZ16 (half precision) and the rest stay the caller's.
    static constexpr uint64_t kFlushToZero = uint64_t{1} << 24;

    DenormalGuard() : saved(ReadFpcr()), savedStatus(ReadFpsr())
    {
        WriteFpcr(saved | kFlushToZero);
    }
    ~DenormalGuard()
    {
        WriteFpcr(saved);
        // The status flags live apart from the mode here.
        WriteFpsr(savedStatus);
    }

    static uint64_t ReadFpcr()
    {
        uint64_t v;
        __asm__ __volatile__("mrs %0, fpcr" : "=r"(v));
        return v;
    }
    static void WriteFpcr(uint64_t v)
    {
        __asm__ __volatile__("msr fpcr, %0" : : "r"(v) : "memory");
    }
    static uint64_t ReadFpsr()
    {
        uint64_t v;
        __asm__ __volatile__("mrs %0, fpsr" : "=r"(v));
        return v;
    }
    static void WriteFpsr(uint64_t v)
    {
        __asm__ __volatile__("msr fpsr, %0" : : "r"(v) : "memory");
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
#elif defined(TIDEPULL_DENORMAL_GUARD_FPCR)
    uint64_t saved;
    uint64_t savedStatus;
#endif
};
