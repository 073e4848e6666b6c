#include "StateBlob.h"

#include <cstring>

double StateBlob::Value(const std::vector<uint8_t>& blob, int index)
{
    uint64_t bits = 0;
    for (int b = 0; b < 8; ++b)
        bits |= static_cast<uint64_t>(blob.at(static_cast<size_t>(index * 8 + b))) << (8 * b);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

uint32_t StateBlob::BypassWord(const std::vector<uint8_t>& blob)
{
    uint32_t w = 0;
    for (int b = 0; b < 4; ++b)
        w |= static_cast<uint32_t>(blob.at(72 + static_cast<size_t>(b))) << (8 * b);
    return w;
}
