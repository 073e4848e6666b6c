#pragma once

#include <cstdint>

class PIX_IBitmap;

// The decoded bitmap strips of every editor in the process, keyed by resource
// id and guarded by one lock. Entries are only appended; the bitmaps are
// deleted when the library is unloaded.
class BitmapCache {
public:
    // The bitmap cached under `id`, or none.
    static PIX_IBitmap* Find(int32_t id);

    // Takes `bitmap` for `id` and returns the bitmap now cached under it. When
    // another editor cached one for the id in the meantime, that one wins and
    // `bitmap` is deleted.
    static PIX_IBitmap* Insert(int32_t id, PIX_IBitmap* bitmap);

    static int32_t EntryCount();
};
