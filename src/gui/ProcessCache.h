#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

// One process-wide cache of values of one kind, shared by every editor in
// the process: keyed entries behind one lock, owned by the cache. Entries are
// only appended, so a value handed out stays valid until the library is
// unloaded. Key needs ==; a cache has a few dozen entries at most, so a scan
// beats hashing.
template <typename Key, typename Value>
class ProcessCache {
public:
    // The value cached under `key`, or none.
    static Value* Find(const Key& key)
    {
        Store& store = TheStore();
        std::lock_guard<std::mutex> guard(store.lock);
        return FindLocked(store, key);
    }

    // Takes `value` for `key` and returns the value now cached under it: one
    // cached for the key in the meantime wins, and `value` is deleted.
    static Value* Insert(const Key& key, std::unique_ptr<Value> value)
    {
        if (!value)
            return nullptr;
        Store& store = TheStore();
        std::lock_guard<std::mutex> guard(store.lock);
        if (Value* existing = FindLocked(store, key))
            return existing;
        return Append(store, key, std::move(value));
    }

    // The value under `key`, made by `make()` (a std::unique_ptr<Value>) on
    // first use; under the lock, so two editors never make the same one.
    // None, and nothing cached, when `make` gives none.
    template <typename Make>
    static Value* FindOrMake(const Key& key, Make&& make)
    {
        Store& store = TheStore();
        std::lock_guard<std::mutex> guard(store.lock);
        if (Value* existing = FindLocked(store, key))
            return existing;
        std::unique_ptr<Value> made = make();
        return made ? Append(store, key, std::move(made)) : nullptr;
    }

    static int32_t EntryCount()
    {
        Store& store = TheStore();
        std::lock_guard<std::mutex> guard(store.lock);
        return static_cast<int32_t>(store.entries.size());
    }

private:
    struct Entry {
        Key key;
        std::unique_ptr<Value> value;
    };
    struct Store {
        std::mutex lock;
        std::vector<Entry> entries;
    };

    static Store& TheStore()
    {
        static Store store;
        return store;
    }

    static Value* FindLocked(const Store& store, const Key& key)
    {
        for (const Entry& e : store.entries) {
            if (e.key == key)
                return e.value.get();
        }
        return nullptr;
    }

    static Value* Append(Store& store, const Key& key, std::unique_ptr<Value> value)
    {
        store.entries.push_back(Entry{key, std::move(value)});
        return store.entries.back().value.get();
    }
};
