#include "dsp/saturateTable.h"

namespace {

// cos(pi m / 16), m = 0..15. The odd m give the Chebyshev nodes of degree 7,
// all of them the values that turn samples at the nodes into Chebyshev
// weights. Written out so the fit needs no cos from the C library.
constexpr double kCos16[16] = {
    1.0,
    0.9807852804032304,
    0.9238795325112867,
    0.8314696123025452,
    0.7071067811865476,
    0.5555702330196023,
    0.38268343236508984,
    0.19509032201612833,
    0.0,
    -0.19509032201612833,
    -0.38268343236508984,
    -0.5555702330196023,
    -0.7071067811865476,
    -0.8314696123025452,
    -0.9238795325112867,
    -0.9807852804032304,
};

// cos(pi m / 16) for any integer m.
double CosSixteenth(int m)
{
    m %= 32;
    if (m < 0)
        m += 32;
    return m < 16 ? kCos16[m] : -kCos16[m - 16];
}

}   // namespace

const saturateTable& saturateTable::shared()
{
    static const saturateTable table;
    return table;
}

saturateTable::saturateTable()
{
    constexpr int n = kDegree + 1;
    // Monomial coefficients of the Chebyshev polynomials T0..T7.
    double cheb[n][n] = {};
    cheb[0][0] = 1.0;
    cheb[1][1] = 1.0;
    for (int j = 2; j < n; ++j) {
        for (int i = 0; i < n; ++i)
            cheb[j][i] = -cheb[j - 2][i] + (i > 0 ? 2.0 * cheb[j - 1][i - 1] : 0.0);
    }
    const double h = 1.0 / 32.0;
    for (int iv = 0; iv < kIntervals; ++iv) {
        const double centre = -kRange + (iv + 0.5) * h;
        double f[n];
        for (int k = 0; k < n; ++k)
            f[k] = saturate(centre + 0.5 * h * CosSixteenth(2 * k + 1));
        // Interpolation at the nodes, in the Chebyshev basis, then in powers of t.
        double weight[n];
        for (int j = 0; j < n; ++j) {
            double sum = 0.0;
            for (int k = 0; k < n; ++k)
                sum += f[k] * CosSixteenth(j * (2 * k + 1));
            weight[j] = sum * (2.0 / n);
        }
        weight[0] *= 0.5;
        for (int i = 0; i < n; ++i) {
            double sum = 0.0;
            for (int j = 0; j < n; ++j)
                sum += weight[j] * cheb[j][i];
            coef[iv][i] = sum;
        }
    }
}
