#include "pix/PIX_Composite.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && !defined(TIDEPULL_PORTABLE_PATHS)
#include <emmintrin.h>
// AVX2 eight pixels at a time where the processor has it, in builds that
// allow it (the build decides: see src/pix/CMakeLists.txt).
#if defined(PIX_COMPOSITE_AVX2)
#include <immintrin.h>
#endif
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
    BlendRows(span, [=](PIX_Pixel32 d, PIX_Pixel32 s) { return (d & keep) | (((s >> srcShift) & 0xFFu) << dstShift); });
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

#if defined(__SSE2__) && !defined(TIDEPULL_PORTABLE_PATHS)
// COPY + SOURCE_ALPHA at full weight, to the same bits as
// PIX_CombineCopySourceAlphaFull. Blocks whose sources are all transparent
// are skipped and all-opaque ones stored whole, as the rule gives per pixel.
//
// Each colour channel is s + (d - s) * w / 256 truncated toward zero, with
// w = 255 - s.a: the magnitude q = |d - s| * w >> 8 is taken with the byte in
// the high half of a 16-bit lane (mulhi then divides by 256 for free) and
// negated where d < s. A transparent source gets w = 256, which gives d back;
// an opaque one w = 0, which gives s. The alpha byte's q is 0, leaving s.a,
// to which min(d.a, 255 - s.a) is added: min(255, d.a + s.a).
inline __m128i BlendFourSourceAlphaFull(__m128i d, __m128i s, __m128i transparent)
{
    const __m128i up = _mm_subs_epu8(d, s);
    const __m128i magnitude = _mm_or_si128(up, _mm_subs_epu8(s, d));

    // w in both 16-bit halves of each pixel, 256 where s.a is 0.
    const __m128i wTop = _mm_andnot_si128(s, _mm_set1_epi32(static_cast<int>(0xFF000000u)));
    __m128i w = _mm_srli_epi32(wTop, 24);
    w = _mm_shufflehi_epi16(_mm_shufflelo_epi16(w, 0xA0), 0xA0);
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

// The four pixels at `d` from sources `s`, their destination read from `before`.
inline void StoreBlockSourceAlphaFull(PIX_Pixel32* d, __m128i before, __m128i s)
{
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i alpha = _mm_and_si128(s, alphaMask);
    __m128i* dv = reinterpret_cast<__m128i*>(d);
    // The editor's strips are mostly opaque: that test comes first.
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaMask)) == 0xFFFF) {
        _mm_storeu_si128(dv, s);
        return;
    }
    const __m128i transparent = _mm_cmpeq_epi32(alpha, _mm_setzero_si128());
    if (_mm_movemask_epi8(transparent) != 0xFFFF)
        _mm_storeu_si128(dv, BlendFourSourceAlphaFull(before, s, transparent));
}

// The pixels from `i` on, fewer than eight: one more block of four where
// there is room, then, for a row not a multiple of four, the block of its
// last four pixels blended from the row as it was before any store (the
// pixels it shares with the block before get the same values). `lastD` and
// `lastS` were read before the row was touched, since the source may be the
// destination itself.
inline void FinishRowSourceAlphaFull(PIX_Pixel32* dRow, const PIX_Pixel32* sRow, int32_t i, int32_t cols, __m128i lastD,
                                     __m128i lastS)
{
    if (i + 4 <= cols) {
        StoreBlockSourceAlphaFull(dRow + i, _mm_loadu_si128(reinterpret_cast<const __m128i*>(dRow + i)),
                                  _mm_loadu_si128(reinterpret_cast<const __m128i*>(sRow + i)));
        i += 4;
    }
    if (i < cols)
        StoreBlockSourceAlphaFull(dRow + cols - 4, lastD, lastS);
}

// Rows narrower than a block, pixel by pixel.
inline void NarrowRowSourceAlphaFull(PIX_Pixel32* dRow, const PIX_Pixel32* sRow, int32_t cols)
{
    for (int32_t i = 0; i < cols; ++i)
        dRow[i] = PIX_CombineCopySourceAlphaFull(dRow[i], sRow[i]);
}

void CopySourceAlphaFullRowsSse2(const Span& span)
{
    PIX_Pixel32* dRow = span.dst;
    const PIX_Pixel32* sRow = span.src;
    const int32_t cols = span.cols;
    for (int32_t r = 0; r < span.rows; ++r, dRow += span.dstStep, sRow += span.srcStep) {
        if (cols < 4) {
            NarrowRowSourceAlphaFull(dRow, sRow, cols);
            continue;
        }
        const __m128i lastD = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dRow + cols - 4));
        const __m128i lastS = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sRow + cols - 4));
        int32_t i = 0;
        for (; i + 4 <= cols; i += 4)
            StoreBlockSourceAlphaFull(dRow + i, _mm_loadu_si128(reinterpret_cast<const __m128i*>(dRow + i)),
                                      _mm_loadu_si128(reinterpret_cast<const __m128i*>(sRow + i)));
        FinishRowSourceAlphaFull(dRow, sRow, i, cols, lastD, lastS);
    }
}

#if defined(PIX_COMPOSITE_AVX2)
// BlendFourSourceAlphaFull eight pixels wide; a byte shuffle spreads w.
__attribute__((target("avx2"))) inline __m256i BlendEightSourceAlphaFull(__m256i d, __m256i s, __m256i transparent,
                                                                         __m256i alphaMask)
{
    const __m256i up = _mm256_subs_epu8(d, s);
    const __m256i magnitude = _mm256_or_si256(up, _mm256_subs_epu8(s, d));
    const __m256i wTop = _mm256_andnot_si256(s, alphaMask);
    // 255 - s.a into both 16-bit halves of its pixel.
    const __m256i spread = _mm256_setr_epi8(3, -128, 3, -128, 7, -128, 7, -128, 11, -128, 11, -128, 15, -128, 15, -128,
                                            3, -128, 3, -128, 7, -128, 7, -128, 11, -128, 11, -128, 15, -128, 15, -128);
    const __m256i w = _mm256_sub_epi16(_mm256_shuffle_epi8(wTop, spread), transparent);
    const __m256i qEven = _mm256_mulhi_epu16(_mm256_slli_epi16(magnitude, 8), w);
    const __m256i qOdd = _mm256_mulhi_epu16(_mm256_and_si256(magnitude, _mm256_set1_epi32(0x0000FF00)), w);
    const __m256i q = _mm256_or_si256(qEven, _mm256_slli_epi16(qOdd, 8));
    const __m256i down = _mm256_cmpeq_epi8(up, _mm256_setzero_si256());
    const __m256i colour = _mm256_add_epi8(s, _mm256_sub_epi8(_mm256_xor_si256(q, down), down));
    return _mm256_add_epi8(colour, _mm256_min_epu8(d, wTop));
}

__attribute__((target("avx2"))) void CopySourceAlphaFullRowsAvx2(const Span& span)
{
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    PIX_Pixel32* dRow = span.dst;
    const PIX_Pixel32* sRow = span.src;
    const int32_t cols = span.cols;
    for (int32_t r = 0; r < span.rows; ++r, dRow += span.dstStep, sRow += span.srcStep) {
        if (cols < 4) {
            NarrowRowSourceAlphaFull(dRow, sRow, cols);
            continue;
        }
        const __m128i lastD = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dRow + cols - 4));
        const __m128i lastS = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sRow + cols - 4));
        int32_t i = 0;
        for (; i + 8 <= cols; i += 8) {
            const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sRow + i));
            const __m256i alpha = _mm256_and_si256(s, alphaMask);
            __m256i* dv = reinterpret_cast<__m256i*>(dRow + i);
            // The editor's strips are mostly opaque: that test comes first.
            if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, alphaMask)) == -1) {
                _mm256_storeu_si256(dv, s);
                continue;
            }
            const __m256i transparent = _mm256_cmpeq_epi32(alpha, _mm256_setzero_si256());
            if (_mm256_movemask_epi8(transparent) != -1)
                _mm256_storeu_si256(dv, BlendEightSourceAlphaFull(_mm256_loadu_si256(dv), s, transparent, alphaMask));
        }
        FinishRowSourceAlphaFull(dRow, sRow, i, cols, lastD, lastS);
    }
}
#endif

void CopySourceAlphaFullRows(const Span& span)
{
#if defined(PIX_COMPOSITE_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        CopySourceAlphaFullRowsAvx2(span);
        return;
    }
#endif
    CopySourceAlphaFullRowsSse2(span);
}
#else
// The plain counterpart in the compiler's generic vectors, four pixels to a
// vector (SSE2 on x86-64, NEON on AArch64), to the same bits and by the same
// steps as BlendFourSourceAlphaFull above: q = |d - s| * w >> 8 in 16-bit
// lanes, with w = 255 - s.a, or 256 for a transparent source; the colour is
// s + q or s - q; alpha's q is 0 and min(d.a, 255 - s.a) is added to s.a.
using Lanes32 = uint32_t __attribute__((vector_size(16)));
using Lanes16 = uint16_t __attribute__((vector_size(16)));
using Bytes = uint8_t __attribute__((vector_size(16)));
using Halves = uint64_t __attribute__((vector_size(16)));

inline Lanes32 BlendFourSourceAlphaFull(Lanes32 dPixels, Lanes32 sPixels)
{
    const Bytes d = reinterpret_cast<Bytes>(dPixels);
    const Bytes s = reinterpret_cast<Bytes>(sPixels);
    const Bytes low = d < s ? d : s;
    const Bytes magnitude = (d < s ? s : d) - low;
    const Bytes down = reinterpret_cast<Bytes>(low == d);

    const Lanes32 sa = sPixels >> 24;
    const Lanes32 w = 255 - sa - reinterpret_cast<Lanes32>(sa == 0);
    // Blue and red are the low bytes of the 16-bit lanes; green is the high
    // byte of the lower lane, where alone w is put for the odd bytes.
    const Lanes16 m = reinterpret_cast<Lanes16>(magnitude);
    const Lanes16 qEven = (m & 0xFF) * reinterpret_cast<Lanes16>(w | w << 16) >> 8;
    const Lanes16 qOdd = (m >> 8) * reinterpret_cast<Lanes16>(w) & 0xFF00;
    const Bytes q = reinterpret_cast<Bytes>(qEven | qOdd);
    const Bytes colour = s + ((q ^ down) - down);
    const Bytes alphaRoom = reinterpret_cast<Bytes>(~sPixels & 0xFF000000u);
    return reinterpret_cast<Lanes32>(colour + (d < alphaRoom ? d : alphaRoom));
}

inline Lanes32 LoadFour(const PIX_Pixel32* p)
{
    Lanes32 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void StoreFour(PIX_Pixel32* p, Lanes32 v)
{
    std::memcpy(p, &v, sizeof v);
}

// Blocks of eight whose sources are all opaque are copied and all-transparent
// ones skipped, as the rule gives per pixel; the editor's strips are mostly
// opaque. A row's last pixels are the block of its last four, blended from
// the row as it was before any store, as in the SSE2 build.
void CopySourceAlphaFullRows(const Span& span)
{
    constexpr uint64_t kAlphas = 0xFF000000FF000000u;
    PIX_Pixel32* dRow = span.dst;
    const PIX_Pixel32* sRow = span.src;
    const int32_t cols = span.cols;
    for (int32_t r = 0; r < span.rows; ++r, dRow += span.dstStep, sRow += span.srcStep) {
        if (cols < 4) {
            for (int32_t i = 0; i < cols; ++i)
                dRow[i] = PIX_CombineCopySourceAlphaFull(dRow[i], sRow[i]);
            continue;
        }
        const Lanes32 lastD = LoadFour(dRow + cols - 4);
        const Lanes32 lastS = LoadFour(sRow + cols - 4);
        int32_t i = 0;
        for (; i + 8 <= cols; i += 8) {
            const Lanes32 s0 = LoadFour(sRow + i);
            const Lanes32 s1 = LoadFour(sRow + i + 4);
            const Halves all = reinterpret_cast<Halves>(s0 & s1);
            const Halves any = reinterpret_cast<Halves>(s0 | s1);
            if ((all[0] & all[1] & kAlphas) == kAlphas) {
                StoreFour(dRow + i, s0);
                StoreFour(dRow + i + 4, s1);
                continue;
            }
            if (((any[0] | any[1]) & kAlphas) == 0)
                continue;
            StoreFour(dRow + i, BlendFourSourceAlphaFull(LoadFour(dRow + i), s0));
            StoreFour(dRow + i + 4, BlendFourSourceAlphaFull(LoadFour(dRow + i + 4), s1));
        }
        if (i + 4 <= cols) {
            StoreFour(dRow + i, BlendFourSourceAlphaFull(LoadFour(dRow + i), LoadFour(sRow + i)));
            i += 4;
        }
        if (i < cols)
            StoreFour(dRow + cols - 4, BlendFourSourceAlphaFull(lastD, lastS));
    }
}
#endif

void CopySourceAlphaFull(const Span& span)
{
    if (!WindowsOverlap(span)) {
        CopySourceAlphaFullRows(span);
        return;
    }
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

using PlainRule = PIX_Pixel32 (*)(PIX_Pixel32, PIX_Pixel32, int32_t, int32_t);
using SourceAlphaRule = PIX_Pixel32 (*)(PIX_Pixel32, PIX_Pixel32, int32_t);

// A rule with a source-alpha form of its own.
template <PlainRule Plain, SourceAlphaRule WithSourceAlpha>
void CombineEither(const Span& span, int32_t a, bool sourceAlpha)
{
    if (sourceAlpha)
        BlendRows(span, [=](PIX_Pixel32 d, PIX_Pixel32 s) { return WithSourceAlpha(d, s, a); });
    else
        BlendRows(span, [=](PIX_Pixel32 d, PIX_Pixel32 s) { return Plain(d, s, static_cast<int32_t>(s >> 24), a); });
}

// A rule without one: the source's alpha goes into the weight.
template <PlainRule Plain>
void CombineWeighted(const Span& span, int32_t a, bool sourceAlpha)
{
    BlendRows(span, [=](PIX_Pixel32 d, PIX_Pixel32 s) {
        const int32_t sa = static_cast<int32_t>(s >> 24);
        return Plain(d, s, sa, sourceAlpha ? PIX_AlphaWeight(a, sa) : a);
    });
}

void CombineKind(const Span& span, int32_t kind, int32_t a, bool sourceAlpha)
{
    switch (kind) {
    case PIX_MODE_COPY: CombineCopy(span, a, sourceAlpha); break;
    case PIX_MODE_ADD: CombineEither<PIX_CombineAdd, PIX_CombineAddSourceAlpha>(span, a, sourceAlpha); break;
    case PIX_MODE_DODGE: CombineWeighted<PIX_CombineDodge>(span, a, sourceAlpha); break;
    case PIX_MODE_MULTIPLY:
        CombineEither<PIX_CombineMultiply, PIX_CombineMultiplySourceAlpha>(span, a, sourceAlpha);
        break;
    case PIX_MODE_OVERLAY: CombineWeighted<PIX_CombineOverlay>(span, a, sourceAlpha); break;
    case PIX_MODE_HSV_ADJUST: CombineWeighted<PIX_CombineHsvAdjust>(span, a, sourceAlpha); break;
    default: break;
    }
}

}   // namespace

void PIX_Composite(PIX_IBitmap* dst, const PIX_IBitmap* src, int32_t x, int32_t y, const PIX_Rect* srcRect,
                   float weight, int32_t mode)
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
            BlendRows(span,
                      [](PIX_Pixel32 d, PIX_Pixel32 s) { return ((d >> 1) & 0x7F7F7F7Fu) + ((s >> 1) & 0x7F7F7F7Fu); });
            return;
        }
    }
    const int32_t a = PIX_IntegerWeight(weight);
    if (a == 0)
        return;
    CombineKind(span, kind, a, (mode & PIX_MODE_SOURCE_ALPHA) != 0);
}
