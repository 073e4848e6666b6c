#pragma once

#include "dsp/alwaysInline.h"

// Two doubles side by side, left (or first) in the low lane: the chain's
// stereo and pair paths are written once over these. On x86-64 they are
// SSE2 registers; elsewhere, and with TIDEPULL_PORTABLE_PATHS, the
// compiler's generic vectors. Every operation is the IEEE one per lane, in
// the order written, so both give the same bits; masks select whole lanes,
// and keep() leaves +0 where its mask is clear.
#if (defined(__SSE2__) || defined(_M_X64)) && !defined(TIDEPULL_PORTABLE_PATHS)
#include <emmintrin.h>
#define TIDEPULL_LANES_SSE2 1
#endif

#if defined(__GNUC__)
#define TIDEPULL_LANES_INLINE inline __attribute__((always_inline))
#else
#define TIDEPULL_LANES_INLINE inline
#endif

namespace lanes {

#ifdef TIDEPULL_LANES_SSE2

using Pair = __m128d;
using Mask = __m128d;

TIDEPULL_LANES_INLINE Pair make(double lo, double hi)
{
    return _mm_set_pd(hi, lo);
}
TIDEPULL_LANES_INLINE Pair both(double v)
{
    return _mm_set1_pd(v);
}
// Two doubles at a 16-byte boundary.
TIDEPULL_LANES_INLINE Pair load(const double* p)
{
    return _mm_load_pd(p);
}
TIDEPULL_LANES_INLINE Pair add(Pair a, Pair b)
{
    return _mm_add_pd(a, b);
}
TIDEPULL_LANES_INLINE Pair sub(Pair a, Pair b)
{
    return _mm_sub_pd(a, b);
}
TIDEPULL_LANES_INLINE Pair mul(Pair a, Pair b)
{
    return _mm_mul_pd(a, b);
}
TIDEPULL_LANES_INLINE Pair div(Pair a, Pair b)
{
    return _mm_div_pd(a, b);
}
TIDEPULL_LANES_INLINE double lo(Pair a)
{
    return _mm_cvtsd_f64(a);
}
TIDEPULL_LANES_INLINE double hi(Pair a)
{
    return _mm_cvtsd_f64(_mm_unpackhi_pd(a, a));
}
TIDEPULL_LANES_INLINE void store(Pair a, double& outLo, double& outHi)
{
    _mm_storel_pd(&outLo, a);
    _mm_storeh_pd(&outHi, a);
}
// Both lanes truncated toward zero, for values well inside int's range: as
// ints, and returned as doubles.
TIDEPULL_LANES_INLINE Pair truncate(Pair a, int& outLo, int& outHi)
{
    const __m128i i = _mm_cvttpd_epi32(a);
    outLo = _mm_cvtsi128_si32(i);
    outHi = _mm_cvtsi128_si32(_mm_shuffle_epi32(i, 1));
    return _mm_cvtepi32_pd(i);
}
TIDEPULL_LANES_INLINE Mask mask(bool onLo, bool onHi)
{
    return _mm_castsi128_pd(_mm_set_epi64x(onHi ? -1 : 0, onLo ? -1 : 0));
}
TIDEPULL_LANES_INLINE Mask less(Pair a, Pair b)
{
    return _mm_cmplt_pd(a, b);
}
TIDEPULL_LANES_INLINE Mask greater(Pair a, Pair b)
{
    return _mm_cmpgt_pd(a, b);
}
TIDEPULL_LANES_INLINE Mask all(Mask a, Mask b, Mask c)
{
    return _mm_and_pd(_mm_and_pd(a, b), c);
}
TIDEPULL_LANES_INLINE Pair select(Mask m, Pair a, Pair b)
{
    return _mm_or_pd(_mm_and_pd(m, a), _mm_andnot_pd(m, b));
}
TIDEPULL_LANES_INLINE Pair keep(Mask m, Pair a)
{
    return _mm_and_pd(m, a);
}

#else

// GCC's and Clang's generic vectors: NEON registers on AArch64, SSE2 ones
// with TIDEPULL_PORTABLE_PATHS on x86-64. A mask lane is all ones or zero.
using Pair = double __attribute__((vector_size(16)));
using Mask = long long __attribute__((vector_size(16)));

TIDEPULL_LANES_INLINE Pair make(double lo, double hi)
{
    return Pair{lo, hi};
}
TIDEPULL_LANES_INLINE Pair both(double v)
{
    return Pair{v, v};
}
TIDEPULL_LANES_INLINE Pair load(const double* p)
{
    return Pair{p[0], p[1]};
}
TIDEPULL_LANES_INLINE Pair add(Pair a, Pair b)
{
    return a + b;
}
TIDEPULL_LANES_INLINE Pair sub(Pair a, Pair b)
{
    return a - b;
}
TIDEPULL_LANES_INLINE Pair mul(Pair a, Pair b)
{
    return a * b;
}
TIDEPULL_LANES_INLINE Pair div(Pair a, Pair b)
{
    return a / b;
}
TIDEPULL_LANES_INLINE double lo(Pair a)
{
    return a[0];
}
TIDEPULL_LANES_INLINE double hi(Pair a)
{
    return a[1];
}
TIDEPULL_LANES_INLINE void store(Pair a, double& outLo, double& outHi)
{
    outLo = a[0];
    outHi = a[1];
}
TIDEPULL_LANES_INLINE Pair truncate(Pair a, int& outLo, int& outHi)
{
    using Ints = int __attribute__((vector_size(8)));
    const Ints i = __builtin_convertvector(a, Ints);
    outLo = i[0];
    outHi = i[1];
    return __builtin_convertvector(i, Pair);
}
TIDEPULL_LANES_INLINE Mask mask(bool onLo, bool onHi)
{
    return Mask{onLo ? -1 : 0, onHi ? -1 : 0};
}
TIDEPULL_LANES_INLINE Mask less(Pair a, Pair b)
{
    return a < b;
}
TIDEPULL_LANES_INLINE Mask greater(Pair a, Pair b)
{
    return a > b;
}
TIDEPULL_LANES_INLINE Mask all(Mask a, Mask b, Mask c)
{
    return a & b & c;
}
TIDEPULL_LANES_INLINE Pair select(Mask m, Pair a, Pair b)
{
    return m ? a : b;
}
TIDEPULL_LANES_INLINE Pair keep(Mask m, Pair a)
{
    return m ? a : Pair{0.0, 0.0};
}

#endif

}   // namespace lanes
