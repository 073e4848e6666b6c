#pragma once

#include <cstddef>
#include <vector>

// The same stereo material in both sample sizes.
struct StereoMaterial {
    std::vector<double> l, r;
    std::vector<float> lf, rf;

    // Music-like frames; the right channel mostly follows the left.
    static StereoMaterial Music(size_t frames);
};
