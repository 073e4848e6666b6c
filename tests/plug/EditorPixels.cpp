#include "EditorPixels.h"

#include "gui/BitmapStrip.h"
#include "gui/Editor.h"
#include "pix/EmbeddedResource.h"
#include "pix/PIX_Composite.h"
#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_Mode.h"
#include "pix/PIX_Png.h"
#include "pix/PIX_SysBitmap.h"

#include <memory>

namespace {

constexpr int32_t kPanelId = 106;

std::unique_ptr<PIX_MemBitmap> Decode(int32_t id)
{
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (!FindEmbeddedResource(id, &data, &size))
        return nullptr;
    return std::unique_ptr<PIX_MemBitmap>(PIX_PngFromMemory(data, size));
}

std::vector<PIX_Pixel32> Area(const PIX_IBitmap& bitmap, const Bounds& rect)
{
    std::vector<PIX_Pixel32> pixels;
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        const PIX_Pixel32* row = PIX_RowPointer(bitmap, bitmap.Pixels(), y);
        pixels.insert(pixels.end(), row + rect.left, row + rect.right);
    }
    return pixels;
}

}   // namespace

std::vector<PIX_Pixel32> EditorPixels::Shown(const Editor& editor, const Bounds& rect)
{
    return Area(*editor.DrawingSurface(), rect);
}

std::vector<PIX_Pixel32> EditorPixels::Snapshot(const Editor& editor)
{
    return Shown(editor, Bounds(0, 0, editor.Width(), editor.Height()));
}

std::vector<PIX_Pixel32> EditorPixels::Expected(int32_t stripId, int32_t frames, int32_t frame, const Bounds& rect)
{
    const std::unique_ptr<PIX_MemBitmap> panel = Decode(kPanelId);
    const std::unique_ptr<PIX_MemBitmap> strip = Decode(stripId);
    if (!panel || !strip)
        return {};
    PIX_MemBitmap area;
    area.Resize(rect.Width(), rect.Height());
    const PIX_Rect under{rect.left, rect.top, rect.right, rect.bottom};
    PIX_Composite(&area, panel.get(), 0, 0, &under, 1.0f, PIX_MODE_COPY);

    BitmapStrip layout;
    layout.width = strip->Width();
    layout.height = strip->Height();
    layout.frames = frames;
    int32_t x = 0;
    int32_t y = 0;
    layout.FrameOrigin(frame, &x, &y);
    const PIX_Rect source{x, y, x + layout.FrameWidth(), y + layout.FrameHeight()};
    PIX_Composite(&area, strip.get(), 0, 0, &source, 1.0f, PIX_MODE_COPY | PIX_MODE_SOURCE_ALPHA);
    return Area(area, Bounds(0, 0, rect.Width(), rect.Height()));
}
