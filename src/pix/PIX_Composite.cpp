#include "pix/PIX_Composite.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// True when the two windows share memory without being the same pixels: the
// pixel-at-a-time order then matters (a bitmap composited onto itself).
bool WindowsOverlap(const Span& span)
{
    if (span.rows < 1 || span.cols < 1 || span.dst == span.src)
        return false;
    auto bounds = [&span](const PIX_Pixel32* first, ptrdiff_t step, uintptr_t& lo, uintptr_t& hi) {
        const PIX_Pixel32* last = first + step * (span.rows - 1);
        const PIX_Pixel32* top = step < 0 ? last : first;
        const PIX_Pixel32* bottom = step < 0 ? first : last;
        lo = reinterpret_cast<uintptr_t>(top);
        hi = reinterpret_cast<uintptr_t>(bottom + span.cols);
    };
    uintptr_t dLo, dHi, sLo, sHi;
    bounds(span.dst, span.dstStep, dLo, dHi);
    bounds(span.src, span.srcStep, sLo, sHi);
    return dLo < sHi && sLo < dHi;
}

#if defined(__SSE2__)
// COPY + SOURCE_ALPHA at full weight, four pixels at a time, to the same bits
// as PIX_CombineCopySourceAlphaFull. Blocks whose four sources are all
// transparent are skipped and all-opaque ones stored whole, as the rule gives
// for each pixel.
//
// Each colour channel is s + (d - s) * w / 256 truncated toward zero, with
// w = 255 - s.a: the magnitude q = |d - s| * w >> 8 is taken with the byte in
// the high half of a 16-bit lane (mulhi then divides by 256 for free) and
// negated where d < s. A transparent source gets w = 256, which gives d back.
// The alpha byte's q is 0, leaving s.a, to which min(d.a, 255 - s.a) is
// added: min(255, d.a + s.a).
inline __m128i BlendFourSourceAlphaFull(__m128i d, __m128i s, __m128i transparent)
{
    const __m128i up = _mm_subs_epu8(d, s);
    const __m128i magnitude = _mm_or_si128(up, _mm_subs_epu8(s, d));

    // w in both 16-bit halves of each pixel, 256 where s.a is 0.
    const __m128i wTop = _mm_andnot_si128(s, _mm_set1_epi32(static_cast<int>(0xFF000000u)));
    __m128i w = _mm_or_si128(_mm_srli_epi32(wTop, 8), _mm_srli_epi32(wTop, 24));
    w = _mm_sub_epi16(w, transparent);

    // Blue and red through the low bytes, green through the high; alpha's is 0.
    const __m128i qEven = _mm_mulhi_epu16(_mm_slli_epi16(magnitude, 8), w);
    const __m128i qOdd = _mm_mulhi_epu16(_mm_and_si128(magnitude, _mm_set1_epi32(0x0000FF00)), w);
    const __m128i q = _mm_or_si128(qEven, _mm_slli_epi16(qOdd, 8));
    // Negated (two's complement in each byte) where d <= s.
    const __m128i down = _mm_cmpeq_epi8(up, _mm_setzero_si128());
    const __m128i colour = _mm_add_epi8(s, _mm_sub_epi8(_mm_xor_si128(q, down), down));
    return _mm_add_epi8(colour, _mm_min_epu8(d, wTop));
}

// Four pixels whose destination is `before`: false when all four sources
// are transparent (nothing to store), else their result in `out`.
inline bool BlendBlockSourceAlphaFull(__m128i before, __m128i s, __m128i& out)
{
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i alpha = _mm_and_si128(s, alphaMask);
    const __m128i transparent = _mm_cmpeq_epi32(alpha, _mm_setzero_si128());
    if (_mm_movemask_epi8(transparent) == 0xFFFF)
        return false;
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaMask)) == 0xFFFF)
        out = s;
    else
        out = BlendFourSourceAlphaFull(before, s, transparent);
    return true;
}

void CopySourceAlphaFullRows(const Span& span)
{
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    PIX_Pixel32* dRow = span.dst;
    const PIX_Pixel32* sRow = span.src;
    const int32_t cols = span.cols;
    for (int32_t r = 0; r < span.rows; ++r, dRow += span.dstStep, sRow += span.srcStep) {
        if (cols < 4) {
            for (int32_t i = 0; i < cols; ++i)
                dRow[i] = PIX_CombineCopySourceAlphaFull(dRow[i], sRow[i]);
            continue;
        }
        // A row not a multiple of four ends with the block of its last four
        // pixels, blended from their destination as it was before the row:
        // the pixels it shares with the block before get the same values.
        __m128i* lastD = reinterpret_cast<__m128i*>(dRow + cols - 4);
        const __m128i lastBefore = _mm_loadu_si128(lastD);
        int32_t i = 0;
        for (; i + 4 <= cols; i += 4) {
            // The editor's strips are mostly opaque: that test comes first.
            const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sRow + i));
            const __m128i alpha = _mm_and_si128(s, alphaMask);
            __m128i* dv = reinterpret_cast<__m128i*>(dRow + i);
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaMask)) == 0xFFFF) {
                _mm_storeu_si128(dv, s);
                continue;
            }
            const __m128i transparent = _mm_cmpeq_epi32(alpha, _mm_setzero_si128());
            if (_mm_movemask_epi8(transparent) != 0xFFFF)
                _mm_storeu_si128(dv, BlendFourSourceAlphaFull(_mm_loadu_si128(dv), s, transparent));
        }
        __m128i out;
        if (i < cols &&
            BlendBlockSourceAlphaFull(lastBefore, _mm_loadu_si128(reinterpret_cast<const __m128i*>(sRow + cols - 4)), out))
            _mm_storeu_si128(lastD, out);
    }
}
#endif

void CopySourceAlphaFull(const Span& span)
{
#if defined(__SSE2__)
    if (!WindowsOverlap(span)) {
        CopySourceAlphaFullRows(span);
        return;
    }
#endif
    BlendRows(span, [](PIX_Pixel32 d, PIX_Pixel32 s) { return PIX_CombineCopySourceAlphaFull(d, s); });
}

void CombineCopy(const Span& span, int32_t a, bool sourceAlpha)
{
    if (sourceAlpha) {
        if (a == 256)
            CopySourceAlphaFull(span);
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
