#pragma once

#include <cstdint>

class PIX_CachedFont;
struct TextStyle;

// The fonts of every editor in the process, one per size, orientation, style
// and face, guarded by one lock. Entries are only appended; the fonts are
// deleted when the library is unloaded.
class FontCache {
public:
    // The cached font for the style, made on first use; none when the
    // platform cannot make it (nothing is cached then).
    static PIX_CachedFont* Acquire(const TextStyle& style);

    static int32_t EntryCount();
};
