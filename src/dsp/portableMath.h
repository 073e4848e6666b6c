#pragma once

#include <cstdint>
#include <cstring>

#include "dsp/lanePair.h"

// The pair forms run in the chain's gain loops, which are short enough to
// take them inline whole.
#define TIDEPULL_MATH_INLINE TIDEPULL_LANES_INLINE

// The transcendental functions of the audio path, parameter conversion and
// coefficients, built from + - * / only, so every platform and compiler gives
// the same bits (the C libraries differ in the last bits, and some pick FMA
// variants by CPU). Results are correctly rounded in all but very rare cases;
// special values (NaN, infinities, signed zeros, subnormals, overflow,
// underflow, pow's special cases) follow C99 Annex F. Floating-point
// exceptions flags are not part of the contract.
namespace portableMath {

double exp(double x);
double log(double x);
double pow(double x, double y);
double tan(double x);
double tanh(double x);
double atan(double x);

// For the audio path, where a few units in the last place are of no account
// but time is: not correctly rounded (within 2^-50 relative for exp, 2^-50
// absolute or relative, whichever is larger, for log), still + - * / only,
// so the same bits everywhere. Special values as exp and log.
double fastExp(double x);
double fastLog(double x);
// Two arguments side by side, in lanes where both are in the common range
// (log: positive normal; exp: |x| < 354): each result is the bits the
// one-argument form gives.
void fastLogPair(double a, double b, double& outA, double& outB);
void fastExpPair(double a, double b, double& outA, double& outB);

namespace detail {
// 2^(j/256) as hi + lo; per top-8-bit mantissa index, d near 1/m (9 bits)
// and -log(d) as hi + lo (-log(2d) from index 106 on).
extern const double kExp2Fine[256][2];
extern const double kLogFirst[256][3];

inline uint64_t bitsOf(double x)
{
    uint64_t u;
    std::memcpy(&u, &x, sizeof u);
    return u;
}

inline double fromBits(uint64_t u)
{
    double x;
    std::memcpy(&x, &u, sizeof x);
    return x;
}
}   // namespace detail

// Inline: the audio path calls both every sample.
inline double fastExp(double x)
{
    if (!(detail::fromBits(detail::bitsOf(x) & 0x7FFFFFFFFFFFFFFFull) < 354.0))
        return exp(x);
    // As exp's first try, without its bound: x = (256m + j) ln2/256 + r.
    const double kf = (x * 0x1.71547652b82fep+8 + 0x1.8p52) - 0x1.8p52;
    const int k = static_cast<int>(kf);
    const double r = (x - kf * 0x1.62e42fefa0000p-9) - kf * 0x1.cf79abc9e3b3ap-48;
    const double r2 = r * r;
    // e^r - 1 - r to r^5; |r| <= ln2/512 leaves r^6/720 below 2^-64.
    const double c = r2 * ((0.5 + r * (1.0 / 6)) + r2 * (1.0 / 24 + r * (1.0 / 120)));
    const int j = k & 255;
    const double th = detail::kExp2Fine[j][0];
    const double y = th + (th * r + (th * c + detail::kExp2Fine[j][1]));
    return y * detail::fromBits(static_cast<uint64_t>((k >> 8) + 1023) << 52);
}

inline double fastLog(double x)
{
    const uint64_t u = detail::bitsOf(x);
    if (u - 0x0010000000000000ull >= 0x7FE0000000000000ull)
        return log(x);
    // As log's first try, without its bound and its exact sum.
    int e = static_cast<int>(u >> 52) - 1023;
    const int i = static_cast<int>((u >> 44) & 255);
    e += static_cast<int>(i >= 106);
    const double m = detail::fromBits((u & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull);
    const double mh = detail::fromBits((u & 0x000FFFFFFFFFFE00ull) | 0x3FF0000000000000ull);
    const double d = detail::kLogFirst[i][0];
    const double r = (mh * d - 1.0) + (m - mh) * d;
    const double r2 = r * r;
    // log1p(r) - r to r^7; |r| <= 2^-8 leaves r^8/8 below 2^-67.
    const double p =
        r2 * ((-0.5 + r * (1.0 / 3)) + r2 * ((-1.0 / 4 + r * (1.0 / 5)) + r2 * (-1.0 / 6 + r * (1.0 / 7))));
    const double ef = static_cast<double>(e);
    // ln2 with 42 bits in the high part: ef * hi + table is exact.
    const double w = ef * 0x1.62e42fefa3800p-1 + detail::kLogFirst[i][1];
    return w + (r + ((ef * 0x1.ef35793c76730p-45 + detail::kLogFirst[i][2]) + p));
}

TIDEPULL_MATH_INLINE void fastLogPair(double a, double b, double& outA, double& outB)
{
    using namespace lanes;
    const uint64_t ua = detail::bitsOf(a);
    const uint64_t ub = detail::bitsOf(b);
    if (ua - 0x0010000000000000ull < 0x7FE0000000000000ull && ub - 0x0010000000000000ull < 0x7FE0000000000000ull) {
        const int ia = static_cast<int>((ua >> 44) & 255);
        const int ib = static_cast<int>((ub >> 44) & 255);
        const int ea = static_cast<int>(ua >> 52) - 1023 + static_cast<int>(ia >= 106);
        const int eb = static_cast<int>(ub >> 52) - 1023 + static_cast<int>(ib >= 106);
        const lanes::Pair m = make(detail::fromBits((ua & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull),
                                   detail::fromBits((ub & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull));
        const lanes::Pair mh = make(detail::fromBits((ua & 0x000FFFFFFFFFFE00ull) | 0x3FF0000000000000ull),
                                    detail::fromBits((ub & 0x000FFFFFFFFFFE00ull) | 0x3FF0000000000000ull));
        const lanes::Pair d = make(detail::kLogFirst[ia][0], detail::kLogFirst[ib][0]);
        const lanes::Pair r = add(sub(mul(mh, d), both(1.0)), mul(sub(m, mh), d));
        const lanes::Pair r2 = mul(r, r);
        auto term = [&r](double c0, double c1) { return add(both(c0), mul(r, both(c1))); };
        const lanes::Pair p =
            mul(r2, add(term(-0.5, 1.0 / 3), mul(r2, add(term(-1.0 / 4, 1.0 / 5), mul(r2, term(-1.0 / 6, 1.0 / 7))))));
        const lanes::Pair ef = make(static_cast<double>(ea), static_cast<double>(eb));
        const lanes::Pair w =
            add(mul(ef, both(0x1.62e42fefa3800p-1)), make(detail::kLogFirst[ia][1], detail::kLogFirst[ib][1]));
        const lanes::Pair tail =
            add(mul(ef, both(0x1.ef35793c76730p-45)), make(detail::kLogFirst[ia][2], detail::kLogFirst[ib][2]));
        store(add(w, add(r, add(tail, p))), outA, outB);
        return;
    }
    outA = fastLog(a);
    outB = fastLog(b);
}

TIDEPULL_MATH_INLINE void fastExpPair(double a, double b, double& outA, double& outB)
{
    using namespace lanes;
    const uint64_t magA = detail::bitsOf(a) & 0x7FFFFFFFFFFFFFFFull;
    const uint64_t magB = detail::bitsOf(b) & 0x7FFFFFFFFFFFFFFFull;
    if (detail::fromBits(magA) < 354.0 && detail::fromBits(magB) < 354.0) {
        const lanes::Pair x = make(a, b);
        const lanes::Pair shifter = both(0x1.8p52);
        const lanes::Pair kf = sub(add(mul(x, both(0x1.71547652b82fep+8)), shifter), shifter);
        const int ka = static_cast<int>(lo(kf));
        const int kb = static_cast<int>(hi(kf));
        const lanes::Pair r = sub(sub(x, mul(kf, both(0x1.62e42fefa0000p-9))), mul(kf, both(0x1.cf79abc9e3b3ap-48)));
        const lanes::Pair r2 = mul(r, r);
        auto term = [&r](double c0, double c1) { return add(both(c0), mul(r, both(c1))); };
        const lanes::Pair c = mul(r2, add(term(0.5, 1.0 / 6), mul(r2, term(1.0 / 24, 1.0 / 120))));
        const int ja = ka & 255;
        const int jb = kb & 255;
        const lanes::Pair th = make(detail::kExp2Fine[ja][0], detail::kExp2Fine[jb][0]);
        const lanes::Pair tl = make(detail::kExp2Fine[ja][1], detail::kExp2Fine[jb][1]);
        const lanes::Pair y = add(th, add(mul(th, r), add(mul(th, c), tl)));
        const lanes::Pair scale = make(detail::fromBits(static_cast<uint64_t>((ka >> 8) + 1023) << 52),
                                       detail::fromBits(static_cast<uint64_t>((kb >> 8) + 1023) << 52));
        store(mul(y, scale), outA, outB);
        return;
    }
    outA = fastExp(a);
    outB = fastExp(b);
}

}   // namespace portableMath
