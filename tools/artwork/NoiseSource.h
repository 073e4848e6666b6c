#pragma once

#include <cstdint>

// Small seeded generator: textures must come out the same on every run.
class NoiseSource {
public:
    explicit NoiseSource(uint32_t seed) : state_(seed != 0 ? seed : 0x9e3779b9u) {}

    uint32_t Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

    // Uniform in [-1, 1).
    double Signed() { return static_cast<double>(Next()) / 2147483648.0 - 1.0; }

private:
    uint32_t state_;
};
