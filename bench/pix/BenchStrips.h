#pragma once

#include <cstdint>

class PIX_MemBitmap;

// The editor's bitmap strips, decoded once for the whole benchmark run from
// the images built into the library.
class BenchStrips {
public:
    // The strip of resource `id` (101 to 111), or none when it cannot be read.
    static const PIX_MemBitmap* Get(int32_t id);
};
