#pragma once

#include <cstddef>

// Samples that are NaN or infinite: found without a branch a sample, and
// read as silence wherever an input is read.
class NonFinite {
public:
    static bool Any(const double* x, size_t n);
    static bool Any(const float* x, size_t n);
    // dst[i] = src[i], or 0 where src[i] is not finite; dst may be src.
    static void Scrub(const double* src, size_t n, double* dst);
    static double Scrubbed(double x) { return (x - x) == 0.0 ? x : 0.0; }
};
