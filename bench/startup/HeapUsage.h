#pragma once

#include <malloc.h>

#include <cstdint>

// Bytes the process holds from malloc now (heap chunks and mapped blocks).
// The benchmark runs on one thread, whose allocations all land in the main
// arena that mallinfo2 reports.
class HeapUsage {
public:
    static int64_t InUse()
    {
        const struct mallinfo2 m = mallinfo2();
        return static_cast<int64_t>(m.uordblks + m.hblkhd);
    }
};
