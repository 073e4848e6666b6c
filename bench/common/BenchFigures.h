#pragma once

#include <string>

// Figures one benchmark leaves for later ones in the same run, so that ratios
// (chain cost over one saturate call, a scene over the settled music scene)
// come from one process on one machine state. Benchmarks run in registration
// order, repetitions of one benchmark back to back.
class BenchFigures {
public:
    static void Record(const std::string& key, double value);
    // The median of the values recorded under key; false when there are none.
    static bool Median(const std::string& key, double& out);
};
