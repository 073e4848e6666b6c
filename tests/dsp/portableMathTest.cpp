#include "dsp/portableMath.h"

#include "QuadFloat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMinSubnormal = std::numeric_limits<double>::denorm_min();

uint64_t Bits(double x)
{
    uint64_t u;
    std::memcpy(&u, &x, sizeof u);
    return u;
}

bool SameBits(double a, double b)
{
    return Bits(a) == Bits(b);
}

// Reproducible arguments without the library's distributions.
class Arguments {
public:
    explicit Arguments(uint64_t seed) : state(seed) {}
    double Uniform(double lo, double hi) { return lo + (hi - lo) * Unit(); }
    // Spread evenly over the exponents between lo and hi (both > 0), random sign.
    double Exponential(double lo, double hi)
    {
        // The exponents themselves are spread: hi / lo may be past the largest double.
        const double v = std::exp(std::log(lo) + (std::log(hi) - std::log(lo)) * Unit());
        return (Next() & 1) ? -v : v;
    }

private:
    uint64_t Next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1p-53; }
    uint64_t state;
};

// How a result compares with the exact value: its error in units of the last
// place of the exact value, and whether it is the double nearest to it.
struct Accuracy {
    double maxUlp = 0.0;
    double worstArgument = 0.0;
    int misrounded = 0;
    int count = 0;

    void Add(double x, double got, quad exact)
    {
        ++count;
        const double nearest = static_cast<double>(exact);
        if (SameBits(got, nearest))
            return;
        ++misrounded;
        int e;
        frexpq(exact < 0 ? -exact : exact, &e);
        const quad ulp = ldexpq(1, e - 53 < -1074 ? -1074 : e - 53);
        const quad diff = (static_cast<quad>(got) - exact) / ulp;
        const double err = std::isfinite(got) ? std::fabs(static_cast<double>(diff)) : kInf;
        if (err > maxUlp) {
            maxUlp = err;
            worstArgument = x;
        }
    }
};

// Correctly rounded except in rare cases at most a hair past half an ulp.
void ExpectNearlyCorrectlyRounded(const Accuracy& a, const std::string& what)
{
    EXPECT_LE(a.misrounded, a.count / 10000) << what << ": worst at " << a.worstArgument;
    EXPECT_LT(a.maxUlp, 0.5001) << what << ": worst at " << a.worstArgument;
}

template <typename Ours, typename Exact>
void CheckRange(const char* name, Ours ours, Exact exact, double lo, double hi, bool spreadExponents, uint64_t seed)
{
    Arguments args(seed);
    Accuracy a;
    for (int i = 0; i < 40000; ++i) {
        const double x = spreadExponents ? args.Exponential(lo, hi) : args.Uniform(lo, hi);
        a.Add(x, ours(x), exact(static_cast<quad>(x)));
    }
    ExpectNearlyCorrectlyRounded(a, std::string(name) + " on [" + std::to_string(lo) + ", " + std::to_string(hi) + "]");
}

// Each step from x to the next double up must not decrease f (or, for a
// decreasing stretch, increase it).
template <typename F>
void ExpectMonotoneAround(F f, double x, bool increasing, const char* what)
{
    double v = x;
    for (int i = 0; i < 64; ++i)
        v = std::nextafter(v, -kInf);
    double previous = f(v);
    for (int i = 0; i < 128; ++i) {
        v = std::nextafter(v, kInf);
        const double y = f(v);
        if (increasing)
            ASSERT_GE(y, previous) << what << " at " << v;
        else
            ASSERT_LE(y, previous) << what << " at " << v;
        previous = y;
    }
}

}   // namespace

TEST(PortableMath, ExpIsCorrectlyRoundedOverItsRange)
{
    auto ours = [](double x) { return portableMath::exp(x); };
    auto exact = [](quad x) { return expq(x); };
    CheckRange("exp", ours, exact, -745.1, 709.7, false, 1);
    CheckRange("exp", ours, exact, -1.0, 1.0, false, 2);
    CheckRange("exp", ours, exact, 1e-300, 1.0, true, 3);
    // The subnormal results, rounded once.
    CheckRange("exp", ours, exact, -745.13, -708.4, false, 4);
}

TEST(PortableMath, LogIsCorrectlyRoundedOverItsRange)
{
    auto ours = [](double x) { return portableMath::log(std::fabs(x)); };
    auto exact = [](quad x) { return logq(x < 0 ? -x : x); };
    CheckRange("log", ours, exact, 1e-320, 1e308, true, 5);
    CheckRange("log", ours, exact, 0.5, 2.0, false, 6);
    // Just around 1, where the result is small and its relative error counts.
    CheckRange("log", ours, exact, 1.0 - 1e-3, 1.0 + 1e-3, false, 7);
}

TEST(PortableMath, PowIsCorrectlyRoundedForTheChainsUses)
{
    CheckRange(
        "pow(10, y)", [](double y) { return portableMath::pow(10.0, y); }, [](quad y) { return powq(10, y); }, -300.0,
        300.0, false, 8);
    CheckRange(
        "pow(10, dB/20)", [](double y) { return portableMath::pow(10.0, y / 20.0); },
        [](quad y) { return powq(10, static_cast<quad>(static_cast<double>(y) / 20.0)); }, -18.0, 18.0, false, 9);
    CheckRange(
        "pow(0.01, y)", [](double y) { return portableMath::pow(0.01, y); },
        [](quad y) { return powq(static_cast<quad>(0.01), y); }, 1e-9, 1.0, true, 10);
    CheckRange(
        "pow(x, 1.7)", [](double x) { return portableMath::pow(std::fabs(x), 1.7); },
        [](quad x) { return powq(x < 0 ? -x : x, static_cast<quad>(1.7)); }, 1e-150, 1e150, true, 11);
    CheckRange(
        "pow(x, -0.3)", [](double x) { return portableMath::pow(std::fabs(x), -0.3); },
        [](quad x) { return powq(x < 0 ? -x : x, static_cast<quad>(-0.3)); }, 1e-300, 1e300, true, 12);
    CheckRange(
        "pow(r, 2)", [](double r) { return portableMath::pow(r, 2.0); }, [](quad r) { return r * r; }, 1000.0, 400000.0,
        false, 13);
}

// The log's table has 256 steps per octave: the ends of each step give the
// largest reduced arguments, and the folding at 1 + 106/256 moves the exponent.
TEST(PortableMath, LogIsCorrectlyRoundedAtEveryTableStep)
{
    Accuracy a;
    for (int scale : {0, -1, 1, 60, -1022, 1000}) {
        for (int i = 0; i <= 256; ++i) {
            const double edge = std::ldexp(1.0 + i / 256.0, scale);
            double x = edge;
            for (int k = 0; k < 4; ++k)
                x = std::nextafter(x, 0.0);
            for (int k = 0; k < 8; ++k, x = std::nextafter(x, kInf))
                a.Add(x, portableMath::log(x), logq(static_cast<quad>(x)));
            // Halfway between table steps, where the reduced argument is near zero.
            const double mid = std::ldexp(1.0 + (i + 0.5) / 256.0, scale);
            a.Add(mid, portableMath::log(mid), logq(static_cast<quad>(mid)));
        }
    }
    ExpectNearlyCorrectlyRounded(a, "log at table steps");
    EXPECT_EQ(a.misrounded, 0);
}

// Bases and exponents whose product spans many steps of the exponential's
// table, with the low part of y log x carried into it.
TEST(PortableMath, PowIsCorrectlyRoundedForSpreadBasesAndExponents)
{
    Arguments args(20);
    Accuracy a;
    for (int i = 0; i < 40000; ++i) {
        const double x = std::fabs(args.Exponential(1e-30, 1e30));
        const double y = args.Uniform(-10.0, 10.0);
        a.Add(x, portableMath::pow(x, y), powq(static_cast<quad>(x), static_cast<quad>(y)));
    }
    for (int i = 0; i < 40000; ++i) {
        const double x = args.Uniform(0.5, 2.0);
        const double y = args.Exponential(1e-12, 500.0);
        a.Add(x, portableMath::pow(x, y), powq(static_cast<quad>(x), static_cast<quad>(y)));
    }
    ExpectNearlyCorrectlyRounded(a, "pow(x, y)");
}

TEST(PortableMath, TanhAtanTanAreCorrectlyRounded)
{
    CheckRange(
        "tanh", [](double x) { return portableMath::tanh(x); }, [](quad x) { return tanhq(x); }, -20.0, 20.0, false,
        14);
    CheckRange(
        "tanh", [](double x) { return portableMath::tanh(x); }, [](quad x) { return tanhq(x); }, 1e-12, 30.0, true, 15);
    CheckRange(
        "atan", [](double x) { return portableMath::atan(x); }, [](quad x) { return atanq(x); }, -4.0, 4.0, false, 16);
    CheckRange(
        "atan", [](double x) { return portableMath::atan(x); }, [](quad x) { return atanq(x); }, 1e-12, 1e300, true,
        17);
    CheckRange(
        "tan", [](double x) { return portableMath::tan(x); }, [](quad x) { return tanq(x); }, -1.57, 1.57, false, 18);
    CheckRange(
        "tan", [](double x) { return portableMath::tan(x); }, [](quad x) { return tanq(x); }, 1e-12, 1e300, true, 19);
}

TEST(PortableMath, ChainArgumentsGiveThePrintedFigures)
{
    EXPECT_EQ(portableMath::pow(10.0, 0.25), 1.7782794100389228);
    EXPECT_EQ(portableMath::pow(10.0, -18.0 / 20.0), 0.12589254117941673);
    EXPECT_EQ(portableMath::pow(10.0, 18.0 / 20.0), 7.943282347242816);
}

TEST(PortableMath, ExpSpecialValues)
{
    EXPECT_EQ(portableMath::exp(0.0), 1.0);
    EXPECT_EQ(portableMath::exp(-0.0), 1.0);
    EXPECT_EQ(portableMath::exp(kInf), kInf);
    EXPECT_TRUE(SameBits(portableMath::exp(-kInf), 0.0));
    EXPECT_TRUE(std::isnan(portableMath::exp(std::nan(""))));
    EXPECT_EQ(portableMath::exp(710.0), kInf);
    for (double x : {709.782712893384, 709.7827128933841, -708.3964185322641, -745.1332191019411, -745.1332191019412,
                     -745.13321910194134})
        EXPECT_TRUE(SameBits(portableMath::exp(x), static_cast<double>(expq(x)))) << x;
    EXPECT_EQ(portableMath::exp(-745.1332191019411), kMinSubnormal);
    EXPECT_TRUE(SameBits(portableMath::exp(-1000.0), 0.0));
    EXPECT_EQ(portableMath::exp(1.0), 2.718281828459045);
    EXPECT_EQ(portableMath::exp(1e-300), 1.0);
    EXPECT_EQ(portableMath::exp(-kMinSubnormal), 1.0);
}

TEST(PortableMath, LogSpecialValues)
{
    EXPECT_EQ(portableMath::log(0.0), -kInf);
    EXPECT_EQ(portableMath::log(-0.0), -kInf);
    EXPECT_TRUE(SameBits(portableMath::log(1.0), 0.0));
    EXPECT_EQ(portableMath::log(kInf), kInf);
    EXPECT_TRUE(std::isnan(portableMath::log(-1.0)));
    EXPECT_TRUE(std::isnan(portableMath::log(-kInf)));
    EXPECT_TRUE(std::isnan(portableMath::log(-kMinSubnormal)));
    EXPECT_TRUE(std::isnan(portableMath::log(std::nan(""))));
    EXPECT_EQ(portableMath::log(kMinSubnormal), static_cast<double>(logq(ldexpq(1, -1074))));
    EXPECT_EQ(portableMath::log(std::numeric_limits<double>::max()), 709.782712893384);
    EXPECT_EQ(portableMath::log(2.0), 0.6931471805599453);
}

TEST(PortableMath, PowSpecialValues)
{
    const double nan = std::nan("");
    // Exactly one, whatever the other argument.
    for (double x : {0.0, -0.0, -1.0, 2.0, kInf, -kInf, nan}) {
        EXPECT_EQ(portableMath::pow(x, 0.0), 1.0) << x;
        EXPECT_EQ(portableMath::pow(x, -0.0), 1.0) << x;
    }
    for (double y : {0.5, -3.0, kInf, -kInf, nan})
        EXPECT_EQ(portableMath::pow(1.0, y), 1.0) << y;
    EXPECT_TRUE(std::isnan(portableMath::pow(nan, 2.0)));
    EXPECT_TRUE(std::isnan(portableMath::pow(2.0, nan)));
    // Zeros.
    EXPECT_EQ(portableMath::pow(0.0, -3.0), kInf);
    EXPECT_EQ(portableMath::pow(-0.0, -3.0), -kInf);
    EXPECT_EQ(portableMath::pow(-0.0, -2.0), kInf);
    EXPECT_EQ(portableMath::pow(-0.0, -0.5), kInf);
    EXPECT_EQ(portableMath::pow(-0.0, -kInf), kInf);
    EXPECT_TRUE(SameBits(portableMath::pow(-0.0, 3.0), -0.0));
    EXPECT_TRUE(SameBits(portableMath::pow(0.0, 3.0), 0.0));
    EXPECT_TRUE(SameBits(portableMath::pow(-0.0, 4.0), 0.0));
    EXPECT_TRUE(SameBits(portableMath::pow(-0.0, 0.5), 0.0));
    // Infinite exponents.
    EXPECT_EQ(portableMath::pow(-1.0, kInf), 1.0);
    EXPECT_EQ(portableMath::pow(-1.0, -kInf), 1.0);
    EXPECT_EQ(portableMath::pow(0.5, -kInf), kInf);
    EXPECT_EQ(portableMath::pow(-0.5, -kInf), kInf);
    EXPECT_TRUE(SameBits(portableMath::pow(2.0, -kInf), 0.0));
    EXPECT_TRUE(SameBits(portableMath::pow(0.5, kInf), 0.0));
    EXPECT_EQ(portableMath::pow(-2.0, kInf), kInf);
    // Infinite bases.
    EXPECT_TRUE(SameBits(portableMath::pow(-kInf, -3.0), -0.0));
    EXPECT_TRUE(SameBits(portableMath::pow(-kInf, -2.0), 0.0));
    EXPECT_TRUE(SameBits(portableMath::pow(-kInf, -0.5), 0.0));
    EXPECT_EQ(portableMath::pow(-kInf, 3.0), -kInf);
    EXPECT_EQ(portableMath::pow(-kInf, 2.5), kInf);
    EXPECT_TRUE(SameBits(portableMath::pow(kInf, -1.0), 0.0));
    EXPECT_EQ(portableMath::pow(kInf, 0.1), kInf);
    // Negative bases.
    EXPECT_TRUE(std::isnan(portableMath::pow(-8.0, 1.0 / 3.0)));
    EXPECT_EQ(portableMath::pow(-2.0, 3.0), -8.0);
    EXPECT_EQ(portableMath::pow(-2.0, -3.0), -0.125);
    EXPECT_EQ(portableMath::pow(-3.0, 2.0), 9.0);
    EXPECT_EQ(portableMath::pow(-2.0, 0x1p60), kInf);   // even: every double above 2^53 is
    EXPECT_TRUE(SameBits(portableMath::pow(-0.5, 1023.0), -0x1p-1023));
    // Exact results, overflow and underflow.
    EXPECT_EQ(portableMath::pow(10.0, 2.0), 100.0);
    EXPECT_EQ(portableMath::pow(10.0, 22.0), 1e22);
    EXPECT_EQ(portableMath::pow(4.0, 0.5), 2.0);
    EXPECT_EQ(portableMath::pow(2.0, -1074.0), kMinSubnormal);
    EXPECT_TRUE(SameBits(portableMath::pow(2.0, -1076.0), 0.0));
    EXPECT_EQ(portableMath::pow(2.0, 1024.0), kInf);
    EXPECT_EQ(portableMath::pow(2.0, 1023.0), 0x1p1023);
    EXPECT_EQ(portableMath::pow(1.0000001, 1e300), kInf);
    EXPECT_TRUE(SameBits(portableMath::pow(0.9999999, 1e300), 0.0));
    EXPECT_EQ(portableMath::pow(0.5, 3.0), 0.125);
    EXPECT_EQ(portableMath::pow(kMinSubnormal, 1.0), kMinSubnormal);
    EXPECT_EQ(portableMath::pow(kMinSubnormal, 0.5), static_cast<double>(sqrtq(ldexpq(1, -1074))));
}

TEST(PortableMath, TanhAtanTanSpecialValues)
{
    const double nan = std::nan("");
    for (double z : {0.0, -0.0, kMinSubnormal, -kMinSubnormal, 1e-300}) {
        EXPECT_TRUE(SameBits(portableMath::tanh(z), z)) << z;
        EXPECT_TRUE(SameBits(portableMath::atan(z), z)) << z;
        EXPECT_TRUE(SameBits(portableMath::tan(z), z)) << z;
    }
    EXPECT_EQ(portableMath::tanh(kInf), 1.0);
    EXPECT_EQ(portableMath::tanh(-kInf), -1.0);
    EXPECT_EQ(portableMath::tanh(19.0), static_cast<double>(tanhq(19)));
    EXPECT_EQ(portableMath::tanh(19.1), 1.0);
    EXPECT_EQ(portableMath::tanh(-1e300), -1.0);
    EXPECT_EQ(portableMath::atan(kInf), 1.5707963267948966);
    EXPECT_EQ(portableMath::atan(-kInf), -1.5707963267948966);
    EXPECT_EQ(portableMath::atan(1e300), 1.5707963267948966);
    EXPECT_EQ(portableMath::atan(1.0), 0.7853981633974483);
    EXPECT_TRUE(std::isnan(portableMath::tan(kInf)));
    EXPECT_TRUE(std::isnan(portableMath::tan(-kInf)));
    for (double x : {nan, -nan}) {
        EXPECT_TRUE(std::isnan(portableMath::tanh(x)));
        EXPECT_TRUE(std::isnan(portableMath::atan(x)));
        EXPECT_TRUE(std::isnan(portableMath::tan(x)));
    }
    // Close to multiples of pi/2, where the reduction must keep every bit.
    for (double x : {1.5707963267948966, 3.141592653589793, 1e22, 0x1.6ac5b262ca1ffp+849, 5.319372648326541e+255})
        EXPECT_EQ(portableMath::tan(x), static_cast<double>(tanq(x))) << x;
}

TEST(PortableMath, MonotoneAcrossTableAndRangeBoundaries)
{
    auto exp = [](double x) { return portableMath::exp(x); };
    auto log = [](double x) { return portableMath::log(x); };
    auto tanh = [](double x) { return portableMath::tanh(x); };
    auto atan = [](double x) { return portableMath::atan(x); };
    auto tan = [](double x) { return portableMath::tan(x); };
    // Table steps of exp (ln2/64 apart), the subnormal edge.
    for (int j = -3; j <= 3; ++j)
        ExpectMonotoneAround(exp, j * 0.6931471805599453 / 64 + 0.6931471805599453 / 128, true, "exp");
    for (int j = -3; j <= 3; ++j)
        ExpectMonotoneAround(exp, j * 0.6931471805599453 / 256 + 0.6931471805599453 / 512, true, "exp");
    ExpectMonotoneAround(exp, 354.0, true, "exp where the first try ends");
    ExpectMonotoneAround(exp, -708.3964185322641, true, "exp at the smallest normal");
    // Table steps of log (256 per octave), the folding at sqrt 2, and 1.
    for (double x : {1.0, 1.0 + 1.0 / 256, 1.4140625, 1.0 - 1.0 / 512, 0.75, 1.9921875})
        ExpectMonotoneAround(log, x, true, "log");
    ExpectMonotoneAround(log, 0x1p-1022, true, "log at the smallest normal");
    // tanh: the tiny-argument cut, and where it reaches 1.
    ExpectMonotoneAround(tanh, 0x1p-27, true, "tanh");
    ExpectMonotoneAround(tanh, 0.125, true, "tanh where the series hands over");
    ExpectMonotoneAround(tanh, 19.061547465398498, true, "tanh");
    // atan: table steps of 1/128 and the reflection at 1.
    for (double x : {1.0 / 256, 3.0 / 256, 0.5 + 1.0 / 256, 1.0, 128.0})
        ExpectMonotoneAround(atan, x, true, "atan");
    // tan: table steps and the reduction's start at pi/4.
    for (double x : {1.0 / 256, 0.5 + 1.0 / 256, 0.7853981633974483, 1.2})
        ExpectMonotoneAround(tan, x, true, "tan");
    auto pow = [](double y) { return portableMath::pow(0.01, y); };
    ExpectMonotoneAround(pow, 1.0 / (0.8 * 44.1), false, "pow(0.01, y)");
}
