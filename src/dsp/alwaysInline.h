#pragma once

// For the per-sample steps the chain calls from more than one loop: left to
// itself the compiler calls them, and the working state then lives in memory.
#if defined(__GNUC__)
#define TIDEPULL_ALWAYS_INLINE __attribute__((always_inline))
#else
#define TIDEPULL_ALWAYS_INLINE
#endif
