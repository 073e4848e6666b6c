#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

std::atomic<bool> AllocationCounter::counting{false};
std::atomic<int64_t> AllocationCounter::count{0};

void AllocationCounter::Start()
{
    count = 0;
    counting = true;
}

int64_t AllocationCounter::Stop()
{
    counting = false;
    return count;
}

void AllocationCounter::Note()
{
    if (counting.load(std::memory_order_relaxed))
        count.fetch_add(1, std::memory_order_relaxed);
}

namespace {

// Volatile: the compiler takes malloc for a function that reads no program
// state and would otherwise drop the store before the call.
thread_local volatile bool insideNew = false;

// The malloc behind an operator new, not counted a second time.
void* MallocForNew(std::size_t size)
{
    insideNew = true;
    void* p = std::malloc(size ? size : 1);
    insideNew = false;
    return p;
}

}   // namespace

void AllocationCounter::NoteMalloc()
{
    if (!insideNew)
        Note();
}

namespace {

void* Allocate(std::size_t size)
{
    AllocationCounter::Note();
    if (void* p = MallocForNew(size))
        return p;
    throw std::bad_alloc();
}

}   // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    AllocationCounter::Note();
    return MallocForNew(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    AllocationCounter::Note();
    return MallocForNew(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
