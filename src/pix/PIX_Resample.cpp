#include "pix/PIX_Resample.h"

#include "pix/PIX_MemBitmap.h"

#include <memory>
#include <vector>

namespace {

constexpr int32_t kMaxRatio = 16;

// The source pixels one output pixel covers along one axis, and how much of
// each (in 1/num of a source pixel).
struct Span {
    int32_t first = 0;
    int32_t count = 0;
    int32_t weights[kMaxRatio + 2] = {};
};

// Output pixel o covers [o * den, (o + 1) * den) and source pixel s covers
// [s * num, (s + 1) * num), both in 1/num of a source pixel.
std::vector<Span> MakeSpans(int32_t sourceLength, int32_t outLength, int32_t num, int32_t den)
{
    std::vector<Span> spans(static_cast<size_t>(outLength));
    for (int32_t o = 0; o < outLength; ++o) {
        const int64_t begin = static_cast<int64_t>(o) * den;
        const int64_t end = begin + den;
        Span& span = spans[static_cast<size_t>(o)];
        span.first = static_cast<int32_t>(begin / num);
        for (int32_t s = span.first; s < sourceLength && static_cast<int64_t>(s) * num < end; ++s) {
            const int64_t lo = static_cast<int64_t>(s) * num > begin ? static_cast<int64_t>(s) * num : begin;
            const int64_t hi = static_cast<int64_t>(s + 1) * num < end ? static_cast<int64_t>(s + 1) * num : end;
            if (hi > lo && span.count < kMaxRatio + 2)
                span.weights[span.count++] = static_cast<int32_t>(hi - lo);
        }
    }
    return spans;
}

int32_t ScaledLength(int32_t length, int32_t num, int32_t den)
{
    return static_cast<int32_t>((static_cast<int64_t>(length) * num + den - 1) / den);
}

// Sums of weight x alpha and weight x alpha x colour, one per channel. With
// den at most kMaxTerm a row's sums stay below 2^23.
constexpr int32_t kMaxTerm = 64;

template <typename T>
struct SumsOf {
    T a = 0;
    T r = 0;
    T g = 0;
    T b = 0;
    T w = 0;
};
using Sums = SumsOf<uint32_t>;
using WideSums = SumsOf<uint64_t>;

uint32_t RoundedQuotient(uint64_t n, uint64_t d)
{
    return static_cast<uint32_t>((2 * n + d) / (2 * d));
}

}   // namespace

PIX_MemBitmap* PIX_ResampleFrames(const PIX_IBitmap& source, int32_t frames, int32_t num, int32_t den)
{
    const int32_t width = source.Width();
    const int32_t height = source.Height();
    PIX_Pixel32* base = source.Pixels();
    if (!base || width <= 0 || height <= 0 || frames <= 0 || height % frames != 0)
        return nullptr;
    if (num <= 0 || den <= 0 || num > kMaxTerm || den > kMaxTerm || num > kMaxRatio * den || den > kMaxRatio * num)
        return nullptr;

    const int32_t frameHeight = height / frames;
    const int32_t outWidth = ScaledLength(width, num, den);
    const int32_t outFrameHeight = ScaledLength(frameHeight, num, den);
    std::unique_ptr<PIX_MemBitmap> out(new PIX_MemBitmap);
    if (!out->Resize(outWidth, outFrameHeight * frames))
        return nullptr;

    const std::vector<Span> columns = MakeSpans(width, outWidth, num, den);
    const std::vector<Span> rows = MakeSpans(frameHeight, outFrameHeight, num, den);
    // One frame's rows, resampled across: outWidth sums per source row.
    std::vector<Sums> across(static_cast<size_t>(outWidth) * static_cast<size_t>(frameHeight));

    for (int32_t f = 0; f < frames; ++f) {
        for (int32_t y = 0; y < frameHeight; ++y) {
            const PIX_Pixel32* row = PIX_RowPointer(source, base, f * frameHeight + y);
            Sums* line = &across[static_cast<size_t>(y) * static_cast<size_t>(outWidth)];
            for (int32_t ox = 0; ox < outWidth; ++ox) {
                const Span& span = columns[static_cast<size_t>(ox)];
                WideSums s;
                for (int32_t k = 0; k < span.count; ++k) {
                    const PIX_Pixel32 p = row[span.first + k];
                    const uint64_t w = static_cast<uint64_t>(span.weights[k]);
                    const uint64_t wa = w * (p >> 24);
                    s.a += wa;
                    s.r += wa * ((p >> 16) & 0xFF);
                    s.g += wa * ((p >> 8) & 0xFF);
                    s.b += wa * (p & 0xFF);
                    s.w += w;
                }
                line[ox] = Sums{static_cast<uint32_t>(s.a), static_cast<uint32_t>(s.r), static_cast<uint32_t>(s.g),
                                static_cast<uint32_t>(s.b), static_cast<uint32_t>(s.w)};
            }
        }
        for (int32_t oy = 0; oy < outFrameHeight; ++oy) {
            const Span& span = rows[static_cast<size_t>(oy)];
            PIX_Pixel32* dst = PIX_RowPointer(*out, out->Pixels(), f * outFrameHeight + oy);
            for (int32_t ox = 0; ox < outWidth; ++ox) {
                WideSums s;
                for (int32_t k = 0; k < span.count; ++k) {
                    const Sums& t = across[static_cast<size_t>(span.first + k) * static_cast<size_t>(outWidth) + ox];
                    const uint64_t w = static_cast<uint64_t>(span.weights[k]);
                    s.a += w * t.a;
                    s.r += w * t.r;
                    s.g += w * t.g;
                    s.b += w * t.b;
                    s.w += w * t.w;
                }
                if (s.a == 0 || s.w == 0) {
                    dst[ox] = 0;
                    continue;
                }
                const uint32_t a = RoundedQuotient(s.a, s.w);
                const uint32_t r = RoundedQuotient(s.r, s.a);
                const uint32_t g = RoundedQuotient(s.g, s.a);
                const uint32_t b = RoundedQuotient(s.b, s.a);
                dst[ox] = (a << 24) | (r << 16) | (g << 8) | b;
            }
        }
    }
    return out.release();
}
