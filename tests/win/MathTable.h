#pragma once

#include <cstddef>
#include <vector>

// The engine's math functions over a fixed set of arguments: common audio
// ranges, the whole exponent range, table and range boundaries and special
// values. The Windows build writes its results, the Linux side compares them
// bit for bit with its own.
class MathTable {
public:
    // Every function's results, one after the other, in a fixed order.
    static std::vector<double> Results();
    // What a result at `index` of Results() was computed from, for messages.
    static const char* FunctionAt(std::size_t index);
    static double ArgumentAt(std::size_t index);
};
