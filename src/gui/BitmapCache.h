#pragma once

#include <cstdint>

class PIX_IBitmap;

// The decoded bitmap strips of every editor in the process, keyed by resource
// id (and display scale, in quarters: 4 is the editor's own pixels) and
// guarded by one lock. Entries are only appended; the bitmaps are deleted when
// the library is unloaded.
class BitmapCache {
public:
    static constexpr int32_t kOneX = 4;

    // The bitmap cached under `id`, or none.
    static PIX_IBitmap* Find(int32_t id, int32_t quarters = kOneX);

    // Takes `bitmap` for `id` and returns the bitmap now cached under it. When
    // another editor cached one for the id in the meantime, that one wins and
    // `bitmap` is deleted.
    static PIX_IBitmap* Insert(int32_t id, PIX_IBitmap* bitmap, int32_t quarters = kOneX);

    static int32_t EntryCount();
};
