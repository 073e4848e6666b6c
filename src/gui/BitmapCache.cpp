#include "gui/BitmapCache.h"

#include "gui/ProcessCache.h"
#include "pix/PIX_IBitmap.h"

#include <memory>

namespace {

struct BitmapKey {
    int32_t id;
    int32_t quarters;

    bool operator==(const BitmapKey& other) const { return id == other.id && quarters == other.quarters; }
};

using Cache = ProcessCache<BitmapKey, PIX_IBitmap>;

}   // namespace

PIX_IBitmap* BitmapCache::Find(int32_t id, int32_t quarters)
{
    return Cache::Find(BitmapKey{id, quarters});
}

PIX_IBitmap* BitmapCache::Insert(int32_t id, PIX_IBitmap* bitmap, int32_t quarters)
{
    return Cache::Insert(BitmapKey{id, quarters}, std::unique_ptr<PIX_IBitmap>(bitmap));
}

int32_t BitmapCache::EntryCount()
{
    return Cache::EntryCount();
}
