#include "pix/PIX_Composite.h"

#include <cstring>

#include "pix/PIX_Combine.h"
#include "pix/PIX_Mode.h"

namespace {

// The clipped part of both bitmaps, rows already in image order.
struct Span {
    PIX_Pixel32* dst;
    ptrdiff_t dstStep;
    const PIX_Pixel32* src;
    ptrdiff_t srcStep;
    int32_t cols;
    int32_t rows;
};

template <class Op>
void BlendRows(const Span& span, Op op)
{
    PIX_Pixel32* d = span.dst;
    const PIX_Pixel32* s = span.src;
    for (int32_t r = 0; r < span.rows; ++r, d += span.dstStep, s += span.srcStep)
        for (int32_t i = 0; i < span.cols; ++i)
            d[i] = op(d[i], s[i]);
}

void CopyRows(const Span& span)
{
    PIX_Pixel32* d = span.dst;
    const PIX_Pixel32* s = span.src;
    const size_t bytes = static_cast<size_t>(span.cols) * sizeof(PIX_Pixel32);
    // memmove: a bitmap may be composited onto itself.
    for (int32_t r = 0; r < span.rows; ++r, d += span.dstStep, s += span.srcStep)
        std::memmove(d, s, bytes);
}

void ChannelCopy(const Span& span, int32_t mode)
{
    const uint32_t dstShift = 8u * static_cast<uint32_t>((mode >> 2) & 3);
    const uint32_t srcShift = 8u * static_cast<uint32_t>(mode & 3);
    const PIX_Pixel32 keep = ~(0xFFu << dstShift);
    BlendRows(span, [=](PIX_Pixel32 d, PIX_Pixel32 s) {
        return (d & keep) | (((s >> srcShift) & 0xFFu) << dstShift);
    });
}

void CombineCopy(const Span& span, int32_t a, bool sourceAlpha)
{
    if (sourceAlpha) {
        if (a == 256)
            BlendRows(span, [](PIX_Pixel32 d, PIX_Pixel32 s) { return PIX_CombineCopySourceAlphaFull(d, s); });
        else
            BlendRows(span, [=](PIX_Pixel32 d, PIX_Pixel32 s) { return PIX_CombineCopySourceAlpha(d, s, a); });
    } else if (a == 256) {
        CopyRows(span);
    } else if (a >= 1) {
        BlendRows(span, [=](PIX_Pixel32 d, PIX_Pixel32 s) {
            return PIX_CombineCopy(d, s, static_cast<int32_t>(s >> 24), a);
        });
    }
}

void CombineKind(const Span& span, int32_t kind, int32_t a, bool sourceAlpha)
{
    switch (kind) {
    case PIX_MODE_COPY:
        CombineCopy(span, a, sourceAlpha);
        break;
    case PIX_MODE_ADD:
        if (sourceAlpha)
            BlendRows(span, [=](PIX_Pixel32 d, PIX_Pixel32 s) { return PIX_CombineAddSourceAlpha(d, s, a); });
        else
            BlendRows(span, [=](PIX_Pixel32 d, PIX_Pixel32 s) {
                return PIX_CombineAdd(d, s, static_cast<int32_t>(s >> 24), a);
            });
        break;
    case PIX_MODE_DODGE:
        BlendRows(span, [=](PIX_Pixel32 d, PIX_Pixel32 s) {
            const int32_t sa = static_cast<int32_t>(s >> 24);
            return PIX_CombineDodge(d, s, sa, sourceAlpha ? PIX_AlphaWeight(a, sa) : a);
        });
        break;
    case PIX_MODE_MULTIPLY:
        if (sourceAlpha)
            BlendRows(span, [=](PIX_Pixel32 d, PIX_Pixel32 s) { return PIX_CombineMultiplySourceAlpha(d, s, a); });
        else
            BlendRows(span, [=](PIX_Pixel32 d, PIX_Pixel32 s) {
                return PIX_CombineMultiply(d, s, static_cast<int32_t>(s >> 24), a);
            });
        break;
    case PIX_MODE_OVERLAY:
        BlendRows(span, [=](PIX_Pixel32 d, PIX_Pixel32 s) {
            const int32_t sa = static_cast<int32_t>(s >> 24);
            return PIX_CombineOverlay(d, s, sa, sourceAlpha ? PIX_AlphaWeight(a, sa) : a);
        });
        break;
    case PIX_MODE_HSV_ADJUST:
        BlendRows(span, [=](PIX_Pixel32 d, PIX_Pixel32 s) {
            const int32_t sa = static_cast<int32_t>(s >> 24);
            return PIX_CombineHsvAdjust(d, s, sa, sourceAlpha ? PIX_AlphaWeight(a, sa) : a);
        });
        break;
    default:
        break;
    }
}

} // namespace

void PIX_Composite(PIX_IBitmap* dst, const PIX_IBitmap* src, int32_t x, int32_t y,
                   const PIX_Rect* srcRect, float weight, int32_t mode)
{
    if (!dst || !src || weight == 0.0f)
        return;

    const int32_t srcWidth = src->Width();
    const int32_t srcHeight = src->Height();
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = srcWidth;
    int32_t bottom = srcHeight;
    if (srcRect) {
        right = srcRect->right < srcWidth ? srcRect->right : srcWidth;
        bottom = srcRect->bottom < srcHeight ? srcRect->bottom : srcHeight;
        if (srcRect->left < 0)
            x -= srcRect->left;
        else
            left = srcRect->left;
        if (srcRect->top < 0)
            y -= srcRect->top;
        else
            top = srcRect->top;
    }
    if (x < 0)
        left -= x;
    if (y < 0)
        top -= y;
    if (left >= right || top >= bottom)
        return;

    const int32_t x0 = x > 0 ? x : 0;
    const int32_t y0 = y > 0 ? y : 0;
    const int32_t dstWidth = dst->Width();
    const int32_t dstHeight = dst->Height();
    if (x0 >= dstWidth || y0 >= dstHeight)
        return;
    if (right > left + dstWidth - x0)
        right = left + dstWidth - x0;
    if (bottom > top + dstHeight - y0)
        bottom = top + dstHeight - y0;
    if (left >= right || top >= bottom)
        return;

    PIX_Pixel32* dstPixels = dst->Pixels();
    PIX_Pixel32* srcPixels = src->Pixels();
    if (!dstPixels || !srcPixels)
        return;

    Span span;
    span.dst = PIX_RowPointer(*dst, dstPixels, y0) + x0;
    span.dstStep = PIX_RowStep(*dst);
    span.src = PIX_RowPointer(*src, srcPixels, top) + left;
    span.srcStep = PIX_RowStep(*src);
    span.cols = right - left;
    span.rows = bottom - top;

    const int32_t kind = mode & PIX_MODE_KIND_MASK;
    if (kind >= PIX_MODE_CHANNEL_COPY) {
        ChannelCopy(span, mode);
        return;
    }
    mode &= PIX_MODE_SOURCE_ALPHA | PIX_MODE_KIND_MASK;
    if (mode == PIX_MODE_COPY) {
        if (weight == 1.0f) {
            CopyRows(span);
            return;
        }
        if (weight == 0.5f) {
            BlendRows(span, [](PIX_Pixel32 d, PIX_Pixel32 s) {
                return ((d >> 1) & 0x7F7F7F7Fu) + ((s >> 1) & 0x7F7F7F7Fu);
            });
            return;
        }
    }
    const int32_t a = PIX_IntegerWeight(weight);
    if (a == 0)
        return;
    CombineKind(span, kind, a, (mode & PIX_MODE_SOURCE_ALPHA) != 0);
}
