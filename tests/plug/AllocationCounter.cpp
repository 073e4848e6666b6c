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

void* Allocate(std::size_t size)
{
    AllocationCounter::Note();
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    AllocationCounter::Note();
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    AllocationCounter::Note();
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
