#include "gui/FontCache.h"

#include "core/FixedText.h"
#include "gui/TextStyle.h"
#include "pix/PIX_CachedFont.h"
#include "pix/PIX_FontDesc.h"
#include "pix/PIX_FontPlatform.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace {

constexpr int32_t kWeightNormal = 400;
constexpr int32_t kWeightBold = 700;

struct FontEntry {
    int32_t size;
    int32_t orientation;
    int32_t style;
    char face[TextStyle::kFaceSize];
    std::unique_ptr<PIX_CachedFont> font;
};

struct FontStore {
    std::mutex lock;
    std::vector<FontEntry> entries;
};

FontStore& Store()
{
    static FontStore store;
    return store;
}

bool SameFace(const char* a, const char* b)
{
    return std::strncmp(a, b, TextStyle::kFaceSize) == 0;
}

} // namespace

PIX_CachedFont* FontCache::Acquire(const TextStyle& style)
{
    FontStore& store = Store();
    std::lock_guard<std::mutex> guard(store.lock);
    for (const FontEntry& e : store.entries) {
        if (e.size == style.size && e.orientation == style.orientation && e.style == style.style &&
            SameFace(e.face, style.face))
            return e.font.get();
    }

    PIX_FontDesc desc;
    desc.height = style.size;
    desc.escapement = style.orientation * 10;
    desc.orientation = style.orientation * 10;
    desc.weight = style.style == kTextBold ? kWeightBold : kWeightNormal;
    desc.italic = style.style == kTextItalic;
    desc.quality = style.quality;
    CopyFixedText(desc.faceName, sizeof desc.faceName, style.face);
    PIX_FontHandle handle = PIX_FontPlatform::CreateFontHandle(desc);
    if (!handle)
        return nullptr;

    FontEntry entry;
    entry.size = style.size;
    entry.orientation = style.orientation;
    entry.style = style.style;
    CopyFixedText(entry.face, sizeof entry.face, style.face);
    entry.font = std::make_unique<PIX_CachedFont>(handle, FONT_OWNS_HANDLE | FONT_NATIVE);
    store.entries.push_back(std::move(entry));
    return store.entries.back().font.get();
}

int32_t FontCache::EntryCount()
{
    FontStore& store = Store();
    std::lock_guard<std::mutex> guard(store.lock);
    return static_cast<int32_t>(store.entries.size());
}
