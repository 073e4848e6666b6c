#include "dsp/stageFilter.h"

#include "dsp/portableMath.h"

#include <array>
#include <cmath>

void stageFilter::setRate(double r)
{
    if (r == rate)
        return;
    rate = r;

    // The polynomial constants are used as they stand: the constant terms of
    // a1, a2 and a3 are not derived from K0, and must not be "tidied" into it.
    const double K4 = 1.20275473057067e-20;
    const double K3 = 2.22125411838863e-15;
    const double K2 = 1.57031225260495e-10;
    const double K1 = 6.67902279713139e-06;
    const double K0 = 8.1068027183072e-05;
    const double r2 = portableMath::pow(r, 2);

    a0 = (((K4 * r + K3) * r + K2) * r + K1) * r + K0;
    a1 = ((-4.81101892228267e-20 * r - 4.44250823677727e-15) * r2 + 1.33580455942628e-05) * r + 3.24272108732288e-08;
    a2 = (7.21652838342401e-20 * r2 - 3.14062450520989e-10) * r2 + 0.00186408163098432;
    a3 = ((4.44250823677727e-15 - 4.81101892228267e-20 * r) * r2 - 1.33580455942628e-05) * r + 3.24272108732288e-08;
    a4 = (((K4 * r - K3) * r + K2) * r - K1) * r + K0;

    b0 = 3.42189239180392e-06 * r;
    b1 = 7.84378478360785e-06 * r;
    b2 = 0.0;
    b3 = -7.84378478360785e-06 * r;
    b4 = -3.42189239180392e-06 * r;

    // tick written over vectors of weights on the inputs and the state
    // instead of values: three ticks give each output as one weighted sum.
    // Held, the three inputs are one (x, x1..x4, y1..y4); otherwise each has
    // its own weight (xa, xb, xc, x1..x4, y1..y4).
    ThreeTicks(9, {0, 0, 0}, 1, held[0]);
    ThreeTicks(11, {0, 1, 2}, 3, three[0]);
    for (int k = 0; k < 3; ++k) {
        for (int j = 0; j < 11; ++j) {
            if (j < 9)
                heldLanes[k][j][0] = heldLanes[k][j][1] = held[k][j];
            threeLanes[k][j][0] = threeLanes[k][j][1] = three[k][j];
        }
    }
}

// Column of each base value: inputs[k] is the column of the k-th clock's
// input, the state's x1..x4 start at firstState and y1..y4 follow them.
void stageFilter::ThreeTicks(int width, std::array<int, 3> inputs, int firstState, double* out) const
{
    using Weights = std::array<double, 11>;
    Weights xs[5] = {};   // the clock's input, x1, x2, x3, x4
    Weights ys[4] = {};   // y1..y4
    for (int i = 0; i < 4; ++i) {
        xs[1 + i][static_cast<size_t>(firstState + i)] = 1.0;
        ys[i][static_cast<size_t>(firstState + 4 + i)] = 1.0;
    }
    for (int k = 0; k < 3; ++k) {
        xs[0] = Weights{};
        xs[0][static_cast<size_t>(inputs[static_cast<size_t>(k)])] = 1.0;
        Weights y;
        for (size_t j = 0; j < 11; ++j) {
            y[j] = (b0 * xs[0][j] + b1 * xs[1][j] + b2 * xs[2][j] + b3 * xs[3][j] + b4 * xs[4][j] - a1 * ys[0][j] -
                    a2 * ys[1][j] - a3 * ys[2][j] - a4 * ys[3][j]) /
                a0;
        }
        // Shift: the input becomes x1, y the newest output.
        for (int i = 4; i > 1; --i)
            xs[i] = xs[i - 1];
        xs[1] = xs[0];
        for (int i = 3; i > 0; --i)
            ys[i] = ys[i - 1];
        ys[0] = y;
        for (int j = 0; j < width; ++j)
            out[k * width + j] = y[static_cast<size_t>(j)];
    }
}

void stageFilter::clearState()
{
    x1 = x2 = x3 = x4 = 0.0;
    y1 = y2 = y3 = y4 = 0.0;
}

double stageFilter::getA(int i) const
{
    switch (i) {
    case 0: return a0;
    case 1: return a1;
    case 2: return a2;
    case 3: return a3;
    case 4: return a4;
    default: return 0.0;
    }
}

double stageFilter::getB(int i) const
{
    switch (i) {
    case 0: return b0;
    case 1: return b1;
    case 2: return b2;
    case 3: return b3;
    case 4: return b4;
    default: return 0.0;
    }
}
