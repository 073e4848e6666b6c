// The C allocation functions of the test executable, counted while
// AllocationCounter counts and otherwise handed straight to the C library's
// own allocator. glibc only; elsewhere only operator new is counted.
#include "AllocationCounter.h"

#include <cerrno>
#include <cstddef>

#if defined(__GLIBC__) && !defined(TIDEPULL_SANITIZED)

// Visible to the whole process, so that allocations made inside shared
// libraries on the plug-in's behalf are counted too.
#define HOOK extern "C" __attribute__((visibility("default")))

extern "C" {

void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* p);

HOOK void* malloc(size_t size) noexcept
{
    AllocationCounter::NoteMalloc();
    return __libc_malloc(size);
}

HOOK void* calloc(size_t count, size_t size) noexcept
{
    AllocationCounter::NoteMalloc();
    return __libc_calloc(count, size);
}

HOOK void* realloc(void* p, size_t size) noexcept
{
    AllocationCounter::NoteMalloc();
    return __libc_realloc(p, size);
}

HOOK void* memalign(size_t alignment, size_t size) noexcept
{
    AllocationCounter::NoteMalloc();
    return __libc_memalign(alignment, size);
}

HOOK void* aligned_alloc(size_t alignment, size_t size) noexcept
{
    AllocationCounter::NoteMalloc();
    return __libc_memalign(alignment, size);
}

HOOK int posix_memalign(void** out, size_t alignment, size_t size) noexcept
{
    AllocationCounter::NoteMalloc();
    void* p = __libc_memalign(alignment, size);
    if (!p)
        return ENOMEM;
    *out = p;
    return 0;
}

HOOK void free(void* p) noexcept
{
    __libc_free(p);
}

}   // extern "C"

#endif
