#pragma once

// Quadruple precision for the exact values the portable math is held to:
// GCC's __float128 and libquadmath on x86-64; on AArch64 long double is that
// same IEEE binary128 format, with the C library's functions for it (and GCC
// has no libquadmath there).
#if defined(__aarch64__)
#include <cmath>

using quad = long double;

inline quad frexpq(quad x, int* e)
{
    return frexpl(x, e);
}
inline quad ldexpq(quad x, int e)
{
    return ldexpl(x, e);
}
inline quad expq(quad x)
{
    return expl(x);
}
inline quad logq(quad x)
{
    return logl(x);
}
inline quad powq(quad x, quad y)
{
    return powl(x, y);
}
inline quad sqrtq(quad x)
{
    return sqrtl(x);
}
inline quad tanhq(quad x)
{
    return tanhl(x);
}
inline quad atanq(quad x)
{
    return atanl(x);
}
inline quad tanq(quad x)
{
    return tanl(x);
}
#else
#include <quadmath.h>

using quad = __float128;
#endif
