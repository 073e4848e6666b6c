#include "gui/BitmapCache.h"

#include "pix/PIX_IBitmap.h"

#include <memory>
#include <mutex>
#include <vector>

namespace {

struct CacheEntry {
    int32_t id;
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

PIX_IBitmap* FindLocked(const CacheStore& store, int32_t id)
{
    for (const CacheEntry& e : store.entries) {
        if (e.id == id)
            return e.bitmap.get();
    }
    return nullptr;
}

} // namespace

PIX_IBitmap* BitmapCache::Find(int32_t id)
{
    CacheStore& store = Store();
    std::lock_guard<std::mutex> guard(store.lock);
    return FindLocked(store, id);
}

PIX_IBitmap* BitmapCache::Insert(int32_t id, PIX_IBitmap* bitmap)
{
    std::unique_ptr<PIX_IBitmap> owned(bitmap);
    if (!owned)
        return nullptr;
    CacheStore& store = Store();
    std::lock_guard<std::mutex> guard(store.lock);
    if (PIX_IBitmap* existing = FindLocked(store, id))
        return existing;
    store.entries.push_back(CacheEntry{id, std::move(owned)});
    return store.entries.back().bitmap.get();
}

int32_t BitmapCache::EntryCount()
{
    CacheStore& store = Store();
    std::lock_guard<std::mutex> guard(store.lock);
    return static_cast<int32_t>(store.entries.size());
}
