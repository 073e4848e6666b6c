#include "gui/BitmapCache.h"

#include "pix/PIX_IBitmap.h"

#include <memory>
#include <mutex>
#include <vector>

namespace {

struct CacheEntry {
    int32_t id;
    int32_t quarters;
    std::unique_ptr<PIX_IBitmap> bitmap;
};

struct CacheStore {
    std::mutex lock;
    std::vector<CacheEntry> entries;
};

CacheStore& Store()
{
    static CacheStore store;
    return store;
}

PIX_IBitmap* FindLocked(const CacheStore& store, int32_t id, int32_t quarters)
{
    for (const CacheEntry& e : store.entries) {
        if (e.id == id && e.quarters == quarters)
            return e.bitmap.get();
    }
    return nullptr;
}

} // namespace

PIX_IBitmap* BitmapCache::Find(int32_t id, int32_t quarters)
{
    CacheStore& store = Store();
    std::lock_guard<std::mutex> guard(store.lock);
    return FindLocked(store, id, quarters);
}

PIX_IBitmap* BitmapCache::Insert(int32_t id, PIX_IBitmap* bitmap, int32_t quarters)
{
    std::unique_ptr<PIX_IBitmap> owned(bitmap);
    if (!owned)
        return nullptr;
    CacheStore& store = Store();
    std::lock_guard<std::mutex> guard(store.lock);
    if (PIX_IBitmap* existing = FindLocked(store, id, quarters))
        return existing;
    store.entries.push_back(CacheEntry{id, quarters, std::move(owned)});
    return store.entries.back().bitmap.get();
}

int32_t BitmapCache::EntryCount()
{
    CacheStore& store = Store();
    std::lock_guard<std::mutex> guard(store.lock);
    return static_cast<int32_t>(store.entries.size());
}
