#pragma once

#include <atomic>
#include <cstdint>

// Counts heap allocations made while counting is switched on. The global
// operator new of the test executable reports here.
class AllocationCounter {
public:
    static void Start();
    static int64_t Stop();   // answers the allocations seen since Start
    static void Note();

private:
    static std::atomic<bool> counting;
    static std::atomic<int64_t> count;
};
