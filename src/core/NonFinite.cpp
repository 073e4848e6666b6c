#include "core/NonFinite.h"

#include <cstdint>
#include <cstring>

#if (defined(__SSE2__) || defined(_M_X64)) && !defined(TIDEPULL_PORTABLE_PATHS)
#include <emmintrin.h>
#endif

// 0 * x is 0 or -0 for a finite x and NaN otherwise: OR-ed together, the
// exponent bits stay clear unless some sample was NaN or infinite. A finite
// block pays one multiply and one OR a sample, in vector lanes.
#if (defined(__SSE2__) || defined(_M_X64)) && !defined(TIDEPULL_PORTABLE_PATHS)
bool NonFinite::Any(const double* x, size_t n)
{
    const __m128d zero = _mm_setzero_pd();
    __m128d a0 = zero, a1 = zero, a2 = zero, a3 = zero;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        a0 = _mm_or_pd(a0, _mm_mul_pd(zero, _mm_loadu_pd(x + i)));
        a1 = _mm_or_pd(a1, _mm_mul_pd(zero, _mm_loadu_pd(x + i + 2)));
        a2 = _mm_or_pd(a2, _mm_mul_pd(zero, _mm_loadu_pd(x + i + 4)));
        a3 = _mm_or_pd(a3, _mm_mul_pd(zero, _mm_loadu_pd(x + i + 6)));
    }
    for (; i < n; ++i)
        a0 = _mm_or_pd(a0, _mm_mul_sd(zero, _mm_load_sd(x + i)));
    const __m128i bits = _mm_castpd_si128(_mm_or_pd(_mm_or_pd(a0, a1), _mm_or_pd(a2, a3)));
    const __m128i exponents = _mm_and_si128(bits, _mm_set1_epi32(0x7FF00000));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(exponents, _mm_setzero_si128())) != 0xFFFF;
}

bool NonFinite::Any(const float* x, size_t n)
{
    const __m128 zero = _mm_setzero_ps();
    __m128 a0 = zero, a1 = zero, a2 = zero, a3 = zero;
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        a0 = _mm_or_ps(a0, _mm_mul_ps(zero, _mm_loadu_ps(x + i)));
        a1 = _mm_or_ps(a1, _mm_mul_ps(zero, _mm_loadu_ps(x + i + 4)));
        a2 = _mm_or_ps(a2, _mm_mul_ps(zero, _mm_loadu_ps(x + i + 8)));
        a3 = _mm_or_ps(a3, _mm_mul_ps(zero, _mm_loadu_ps(x + i + 12)));
    }
    for (; i < n; ++i)
        a0 = _mm_or_ps(a0, _mm_mul_ss(zero, _mm_load_ss(x + i)));
    const __m128i bits = _mm_castps_si128(_mm_or_ps(_mm_or_ps(a0, a1), _mm_or_ps(a2, a3)));
    const __m128i exponents = _mm_and_si128(bits, _mm_set1_epi32(0x7F800000));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(exponents, _mm_setzero_si128())) != 0xFFFF;
}
#else
namespace {

// The same test in plain C++: the products' bits OR-ed as integers in eight
// running lanes, which the compiler can keep in vector registers (a sum of
// the products could not go there: it would have to keep its order).
template <typename Bits, typename Float>
inline Bits ProductBits(Float x)
{
    const Float product = 0 * x;
    Bits bits;
    std::memcpy(&bits, &product, sizeof bits);
    return bits;
}

template <typename Float, typename Bits>
bool AnyOf(const Float* x, size_t n, Bits exponent)
{
    Bits a0 = 0, a1 = 0, a2 = 0, a3 = 0, a4 = 0, a5 = 0, a6 = 0, a7 = 0;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        a0 |= ProductBits<Bits>(x[i]);
        a1 |= ProductBits<Bits>(x[i + 1]);
        a2 |= ProductBits<Bits>(x[i + 2]);
        a3 |= ProductBits<Bits>(x[i + 3]);
        a4 |= ProductBits<Bits>(x[i + 4]);
        a5 |= ProductBits<Bits>(x[i + 5]);
        a6 |= ProductBits<Bits>(x[i + 6]);
        a7 |= ProductBits<Bits>(x[i + 7]);
    }
    for (; i < n; ++i)
        a0 |= ProductBits<Bits>(x[i]);
    const Bits any = ((a0 | a1) | (a2 | a3)) | ((a4 | a5) | (a6 | a7));
    return (any & exponent) != 0;
}

}   // namespace

bool NonFinite::Any(const double* x, size_t n)
{
    return AnyOf(x, n, static_cast<uint64_t>(0x7FF0000000000000ull));
}

bool NonFinite::Any(const float* x, size_t n)
{
    return AnyOf(x, n, static_cast<uint32_t>(0x7F800000u));
}
#endif

void NonFinite::Scrub(const double* src, size_t n, double* dst)
{
    for (size_t i = 0; i < n; ++i)
        dst[i] = Scrubbed(src[i]);
}
