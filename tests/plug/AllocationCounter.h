#pragma once

#include <atomic>
#include <cstdint>

// Counts heap allocations made while counting is switched on. The global
// operator new of the test executable reports here, and so does malloc where
// the executable hooks it (MallocHooks.cpp); an operator new is counted once,
// not again for the malloc it makes.
class AllocationCounter {
public:
    static void Start();
    static int64_t Stop();   // answers the allocations seen since Start
    static void Note();
    // From the malloc hooks: counted unless operator new is the caller.
    static void NoteMalloc();

private:
    static std::atomic<bool> counting;
    static std::atomic<int64_t> count;
};
