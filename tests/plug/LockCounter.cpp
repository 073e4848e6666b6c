#include "LockCounter.h"

#if defined(__GLIBC__)
#include <dlfcn.h>
#include <pthread.h>
#endif

std::atomic<bool> LockCounter::counting{false};
std::atomic<const void*> LockCounter::allowedMutex{nullptr};
std::atomic<int64_t> LockCounter::foreign{0};
std::atomic<int64_t> LockCounter::allowed{0};

void LockCounter::Start(const void* allowedMutex_)
{
    allowedMutex = allowedMutex_;
    foreign = 0;
    allowed = 0;
    counting = true;
}

int64_t LockCounter::Stop()
{
    counting = false;
    return foreign;
}

void LockCounter::Note(const void* mutex)
{
    if (!counting.load(std::memory_order_relaxed))
        return;
    if (mutex == allowedMutex.load(std::memory_order_relaxed))
        allowed.fetch_add(1, std::memory_order_relaxed);
    else
        foreign.fetch_add(1, std::memory_order_relaxed);
}

#if defined(__GLIBC__)

// The hooks below are visible to the whole process, so that locks taken
// inside shared libraries on the plug-in's behalf are seen too.

namespace {

using LockFn = int (*)(pthread_mutex_t*);

LockFn Next(const char* name)
{
    return reinterpret_cast<LockFn>(dlsym(RTLD_NEXT, name));
}

LockFn nextLock = Next("pthread_mutex_lock");
LockFn nextTryLock = Next("pthread_mutex_trylock");

}   // namespace

bool LockCounter::Hooked()
{
    return nextLock != nullptr && nextTryLock != nullptr;
}

extern "C" __attribute__((visibility("default"))) int pthread_mutex_lock(pthread_mutex_t* m) noexcept
{
    LockCounter::Note(m);
    if (!nextLock)
        nextLock = Next("pthread_mutex_lock");
    return nextLock(m);
}

extern "C" __attribute__((visibility("default"))) int pthread_mutex_trylock(pthread_mutex_t* m) noexcept
{
    LockCounter::Note(m);
    if (!nextTryLock)
        nextTryLock = Next("pthread_mutex_trylock");
    return nextTryLock(m);
}

#else

bool LockCounter::Hooked()
{
    return false;
}

#endif
