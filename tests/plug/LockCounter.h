#pragma once

#include <atomic>
#include <cstdint>

// Counts mutex locks, other than of one allowed mutex, made while counting
// is switched on. The test executable's pthread_mutex_lock reports here
// (glibc only; elsewhere nothing is counted and Hooked answers false).
class LockCounter {
public:
    static void Start(const void* allowedMutex);
    static int64_t Stop();   // answers the foreign locks seen since Start
    static void Note(const void* mutex);
    static bool Hooked();
    // Locks of the allowed mutex since Start, to show the hook works.
    static int64_t AllowedLocks() { return allowed.load(); }

private:
    static std::atomic<bool> counting;
    static std::atomic<const void*> allowedMutex;
    static std::atomic<int64_t> foreign;
    static std::atomic<int64_t> allowed;
};
