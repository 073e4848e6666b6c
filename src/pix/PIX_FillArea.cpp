#include "pix/PIX_FillArea.h"

#include "pix/PIX_Combine.h"
#include "pix/PIX_Mode.h"

namespace {

struct Area {
    PIX_Pixel32* row;
    ptrdiff_t step;
    int32_t cols;
    int32_t rows;
};

template <class Op>
void FillRows(const Area& area, Op op)
{
    PIX_Pixel32* d = area.row;
    for (int32_t r = 0; r < area.rows; ++r, d += area.step)
        for (int32_t i = 0; i < area.cols; ++i)
            d[i] = op(d[i]);
}

// Whole-word shift-and-mask blends for the common copy weights.
bool FillCopyFast(const Area& area, PIX_Pixel32 c, int32_t a)
{
    switch (a) {
    case 256: FillRows(area, [=](PIX_Pixel32) { return c; }); return true;
    case 128: {
        const PIX_Pixel32 half = (c >> 1) & 0x7F7F7F7Fu;
        FillRows(area, [=](PIX_Pixel32 d) { return half + ((d >> 1) & 0x7F7F7F7Fu); });
        return true;
    }
    case 64: {
        const PIX_Pixel32 quarter = (c >> 2) & 0x3F3F3F3Fu;
        FillRows(area, [=](PIX_Pixel32 d) { return ((d >> 1) & 0x7F7F7F7Fu) + ((d >> 2) & 0x3F3F3F3Fu) + quarter; });
        return true;
    }
    case 192: {
        const PIX_Pixel32 quarter = (c >> 2) & 0x3F3F3F3Fu;
        const PIX_Pixel32 half = (c >> 1) & 0x7F7F7F7Fu;
        FillRows(area, [=](PIX_Pixel32 d) { return quarter + ((d >> 2) & 0x3F3F3F3Fu) + half; });
        return true;
    }
    default: return false;
    }
}

}   // namespace

void PIX_FillArea(PIX_IBitmap* bitmap, int32_t x, int32_t y, int32_t width, int32_t height, PIX_Pixel32 colour,
                  float weight, int32_t mode)
{
    if (!bitmap)
        return;
    if (mode & PIX_MODE_SOURCE_ALPHA)
        weight = weight * (static_cast<float>(colour >> 24) / 255.0f);
    if (weight == 0.0f)
        return;
    PIX_Pixel32* pixels = bitmap->Pixels();
    if (!pixels || bitmap->Stride() == 0)
        return;

    if (x < 0) {
        width += x;
        if (width < 1)
            return;
    }
    if (y < 0) {
        height += y;
        if (height < 1)
            return;
    }
    const int32_t x0 = x > 0 ? x : 0;
    const int32_t y0 = y > 0 ? y : 0;
    if (x0 >= bitmap->Width() || y0 >= bitmap->Height())
        return;

    Area area;
    area.row = PIX_RowPointer(*bitmap, pixels, y0) + x0;
    area.step = PIX_RowStep(*bitmap);
    area.rows = bitmap->Height() - y0 < height ? bitmap->Height() - y0 : height;
    area.cols = bitmap->Width() - x0 < width ? bitmap->Width() - x0 : width;

    const int32_t kind = mode & PIX_MODE_KIND_MASK;
    const int32_t a = PIX_IntegerWeight(weight);
    if (kind == PIX_MODE_COPY && FillCopyFast(area, colour, a))
        return;
    if (a == 0)
        return;

    switch (kind) {
    case PIX_MODE_COPY:
        if (a >= 1)
            FillRows(area, [=](PIX_Pixel32 d) { return PIX_CombineCopy(d, colour, a, a); });
        break;
    case PIX_MODE_ADD: FillRows(area, [=](PIX_Pixel32 d) { return PIX_CombineAdd(d, colour, a, a); }); break;
    case PIX_MODE_DODGE: FillRows(area, [=](PIX_Pixel32 d) { return PIX_CombineDodge(d, colour, a, a); }); break;
    case PIX_MODE_MULTIPLY: FillRows(area, [=](PIX_Pixel32 d) { return PIX_CombineMultiply(d, colour, a, a); }); break;
    case PIX_MODE_OVERLAY: FillRows(area, [=](PIX_Pixel32 d) { return PIX_CombineOverlay(d, colour, a, a); }); break;
    case PIX_MODE_HSV_ADJUST:
        FillRows(area, [=](PIX_Pixel32 d) { return PIX_CombineHsvAdjust(d, colour, a, a); });
        break;
    default: break;
    }
}
