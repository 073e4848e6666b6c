#include "gui/FontCache.h"

#include "core/FixedText.h"
#include "gui/ProcessCache.h"
#include "gui/TextStyle.h"
#include "pix/PIX_CachedFont.h"
#include "pix/PIX_FontDesc.h"
#include "pix/PIX_FontPlatform.h"

#include <cstring>
#include <memory>

namespace {

constexpr int32_t kWeightNormal = 400;
constexpr int32_t kWeightBold = 700;

struct FontKey {
    int32_t size;
    int32_t orientation;
    int32_t style;
    char face[TextStyle::kFaceSize];

    explicit FontKey(const TextStyle& s) : size(s.size), orientation(s.orientation), style(s.style)
    {
        CopyFixedText(face, sizeof face, s.face);
    }

    bool operator==(const FontKey& other) const
    {
        return size == other.size && orientation == other.orientation && style == other.style &&
            std::strncmp(face, other.face, TextStyle::kFaceSize) == 0;
    }
};

using Cache = ProcessCache<FontKey, PIX_CachedFont>;

std::unique_ptr<PIX_CachedFont> MakeFont(const TextStyle& style)
{
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
    return std::make_unique<PIX_CachedFont>(handle, FONT_OWNS_HANDLE | FONT_NATIVE);
}

}   // namespace

PIX_CachedFont* FontCache::Acquire(const TextStyle& style)
{
    return Cache::FindOrMake(FontKey(style), [&style] { return MakeFont(style); });
}

int32_t FontCache::EntryCount()
{
    return Cache::EntryCount();
}
