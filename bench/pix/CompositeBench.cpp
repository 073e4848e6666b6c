// Per-pixel cost of PIX_Composite (COPY + SOURCE_ALPHA, weight 1.0) and of
// pixman's OVER on the same images, timed in turns in the same benchmark;
// "vs_pixman" is our time over pixman's (at most 1: at least as fast).
//
// Images: the meter's middle frame over the background at the meter's place
// (the composite of every meter redraw), all 121 frames of the "AC Threshold"
// knob at the knob's place, and a square of random colours and alphas over an
// opaque random picture (no transparent or opaque runs to take short cuts on).
// pixman gets the same pixels premultiplied, as its a8r8g8b8 format expects.
//
// Before timing, our result is checked pixel by pixel against the combine rule
// written out here on its own; a mismatch fails the benchmark.
//
// On x86-64 the same scenes also set the plain C++ build of PIX_Composite,
// which ARM64 runs, against the vector ones in turns: "portable_vs_sse2"
// against the SSE2 build, four pixels a step as the plain one and NEON go,
// and "portable_vs_vector" against the build the plug-in runs (AVX2 where the
// processor has it). Both are compiled into this binary under other names,
// PIX_CompositePortable and PIX_CompositeSse2 (bench/CMakeLists.txt).
#include "common/ThreadClock.h"
#include "pix/BenchStrips.h"
#include "pix/PIX_Composite.h"
#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_Mode.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#ifdef TIDEPULL_BENCH_PORTABLE_COMPOSITE
// PIX_Composite built with TIDEPULL_PORTABLE_PATHS, and without AVX2.
void PIX_CompositePortable(PIX_IBitmap* dst, const PIX_IBitmap* src, int32_t x, int32_t y, const PIX_Rect* srcRect,
                           float weight, int32_t mode);
void PIX_CompositeSse2(PIX_IBitmap* dst, const PIX_IBitmap* src, int32_t x, int32_t y, const PIX_Rect* srcRect,
                       float weight, int32_t mode);
#endif

namespace {

constexpr int32_t kMode = PIX_MODE_COPY | PIX_MODE_SOURCE_ALPHA;

// One composite: a source window drawn at (x, y).
struct Job {
    PIX_Rect from;
    int32_t x;
    int32_t y;
};

struct Scene {
    const PIX_IBitmap* src = nullptr;
    const PIX_IBitmap* dst = nullptr;   // the picture drawn onto, copied per run
    std::vector<Job> jobs;
    int64_t pixels = 0;
};

PIX_MemBitmap* RandomPicture(int32_t side, bool opaque, uint32_t seed)
{
    auto* b = new PIX_MemBitmap();
    b->Resize(side, side);
    std::mt19937 rng(seed);
    for (int32_t y = 0; y < side; ++y)
        for (int32_t x = 0; x < side; ++x)
            b->Pixels()[y * b->Stride() + x] = static_cast<uint32_t>(rng()) | (opaque ? 0xFF000000u : 0u);
    return b;
}

enum class Which { kMeterFrame, kKnobFrames, kRandomAlpha };

bool MakeScene(Which which, Scene& scene)
{
    static const PIX_MemBitmap* randomSource = RandomPicture(256, false, 1);
    static const PIX_MemBitmap* randomDest = RandomPicture(256, true, 2);
    switch (which) {
    case Which::kMeterFrame: {
        scene.src = BenchStrips::Get(107);
        scene.dst = BenchStrips::Get(106);
        const int32_t h = 117;
        scene.jobs.push_back(Job{{0, 60 * h, 200, 61 * h}, 702, 33});
        break;
    }
    case Which::kKnobFrames: {
        scene.src = BenchStrips::Get(103);
        scene.dst = BenchStrips::Get(106);
        for (int32_t f = 0; f < 121; ++f)
            scene.jobs.push_back(Job{{0, f * 50, 50, (f + 1) * 50}, 535, 197});
        break;
    }
    case Which::kRandomAlpha:
        scene.src = randomSource;
        scene.dst = randomDest;
        scene.jobs.push_back(Job{{0, 0, 256, 256}, 0, 0});
        break;
    }
    if (!scene.src || !scene.dst)
        return false;
    for (const Job& j : scene.jobs)
        scene.pixels += int64_t(j.from.right - j.from.left) * (j.from.bottom - j.from.top);
    return true;
}

void CopyPicture(const PIX_IBitmap& from, PIX_MemBitmap& to)
{
    to.Resize(from.Width(), from.Height());
    for (int32_t y = 0; y < from.Height(); ++y)
        std::memcpy(to.Pixels() + y * to.Stride(), from.Pixels() + y * from.Stride(), size_t(from.Width()) * 4);
}

// COPY + SOURCE_ALPHA at a = 256, one pixel, as the rule table states it.
uint32_t RuleSourceAlphaFull(uint32_t d, uint32_t s)
{
    const int32_t sa = int32_t(s >> 24);
    if (sa == 0)
        return d;
    if (sa == 255)
        return s;
    const int32_t w = 255 - sa;
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        const int32_t dc = int32_t(d >> (8 * c)) & 0xFF;
        const int32_t sc = int32_t(s >> (8 * c)) & 0xFF;
        out |= uint32_t(sc + (dc - sc) * w / 256) << (8 * c);
    }
    const int32_t da = int32_t(d >> 24) + sa;
    return out | uint32_t(da < 255 ? da : 255) << 24;
}

#ifdef TIDEPULL_BENCH_PORTABLE_COMPOSITE
using CompositeFunction = decltype(&PIX_Composite);
#endif

void RunOurs(const Scene& scene, PIX_MemBitmap& dst)
{
    for (const Job& j : scene.jobs)
        PIX_Composite(&dst, scene.src, j.x, j.y, &j.from, 1.0f, kMode);
}

// Empty when our composite gives the rule's result on every pixel of a fresh
// destination, else a description of the first difference.
std::string CheckAgainstRule(const Scene& scene)
{
    PIX_MemBitmap ours, expected;
    CopyPicture(*scene.dst, ours);
    CopyPicture(*scene.dst, expected);
    RunOurs(scene, ours);
    for (const Job& j : scene.jobs)
        for (int32_t y = j.from.top; y < j.from.bottom; ++y)
            for (int32_t x = j.from.left; x < j.from.right; ++x) {
                uint32_t& d = expected.Pixels()[(j.y + y - j.from.top) * expected.Stride() + j.x + x - j.from.left];
                d = RuleSourceAlphaFull(d, scene.src->Pixels()[y * scene.src->Stride() + x]);
            }
    for (int32_t y = 0; y < ours.Height(); ++y)
        for (int32_t x = 0; x < ours.Width(); ++x)
            if (ours.Pixels()[y * ours.Stride() + x] != expected.Pixels()[y * expected.Stride() + x])
                return "PIX_Composite differs from the rule at " + std::to_string(x) + "," + std::to_string(y);
    return std::string();
}

// pixman's a8r8g8b8 is premultiplied: the same picture in its terms.
std::vector<uint32_t> Premultiplied(const PIX_IBitmap& b)
{
    std::vector<uint32_t> out(size_t(b.Stride()) * size_t(b.Height()));
    for (int32_t y = 0; y < b.Height(); ++y)
        for (int32_t x = 0; x < b.Stride(); ++x) {
            const uint32_t p = x < b.Width() ? b.Pixels()[y * b.Stride() + x] : 0;
            const uint32_t a = p >> 24;
            uint32_t q = a << 24;
            for (int c = 0; c < 3; ++c)
                q |= (((p >> (8 * c)) & 0xFF) * a + 127) / 255 << (8 * c);
            out[size_t(y) * size_t(b.Stride()) + size_t(x)] = q;
        }
    return out;
}

class PixmanScene {
public:
    explicit PixmanScene(const Scene& scene_) : scene(scene_), srcBits(Premultiplied(*scene.src))
    {
        CopyPicture(*scene.dst, dst);
        src = pixman_image_create_bits(PIXMAN_a8r8g8b8, scene.src->Width(), scene.src->Height(), srcBits.data(),
                                       scene.src->Stride() * 4);
        dstImage = pixman_image_create_bits(PIXMAN_a8r8g8b8, dst.Width(), dst.Height(), dst.Pixels(), dst.Stride() * 4);
    }
    ~PixmanScene()
    {
        pixman_image_unref(dstImage);
        pixman_image_unref(src);
    }
    PixmanScene(const PixmanScene&) = delete;
    PixmanScene& operator=(const PixmanScene&) = delete;

    void Run()
    {
        for (const Job& j : scene.jobs)
            pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dstImage, j.from.left, j.from.top, 0, 0, j.x, j.y,
                                     j.from.right - j.from.left, j.from.bottom - j.from.top);
    }

private:
    const Scene& scene;
    std::vector<uint32_t> srcBits;
    PIX_MemBitmap dst;
    pixman_image_t* src = nullptr;
    pixman_image_t* dstImage = nullptr;
};

// Ours and pixman's in turns, each iteration both, the order alternating, so
// that load on the machine falls on both alike; the benchmark's time is ours.
void BenchScene(benchmark::State& st, Which which)
{
    Scene scene;
    if (!MakeScene(which, scene)) {
        st.SkipWithError("the strips could not be decoded");
        return;
    }
    const std::string error = CheckAgainstRule(scene);
    if (!error.empty()) {
        st.SkipWithError(error.c_str());
        return;
    }
    PIX_MemBitmap dst;
    CopyPicture(*scene.dst, dst);
    PixmanScene pixman(scene);
    double ours = 0.0;
    double theirs = 0.0;
    bool oursFirst = true;
    for (auto _ : st) {
        double t = 0.0;
        for (int turn = 0; turn < 2; ++turn) {
            const bool runOurs = (turn == 0) == oursFirst;
            const double start = ThreadClock::Seconds();
            if (runOurs)
                RunOurs(scene, dst);
            else
                pixman.Run();
            benchmark::ClobberMemory();
            const double elapsed = ThreadClock::Seconds() - start;
            if (runOurs)
                t = elapsed;
            else
                theirs += elapsed;
        }
        oursFirst = !oursFirst;
        ours += t;
        st.SetIterationTime(t);
    }
    const double pixels = double(st.iterations()) * double(scene.pixels);
    st.counters["ns_per_pixel"] = ours * 1e9 / pixels;
    st.counters["pixman_ns_per_pixel"] = theirs * 1e9 / pixels;
    st.counters["vs_pixman"] = ours / theirs;
    st.counters["pixels"] = double(scene.pixels);
}

#ifdef TIDEPULL_BENCH_PORTABLE_COMPOSITE
// The three builds in turns, the order rotating; the benchmark's time is the
// plain one's. All give the rule's pixels first.
void BenchPortable(benchmark::State& st, Which which)
{
    Scene scene;
    if (!MakeScene(which, scene)) {
        st.SkipWithError("the strips could not be decoded");
        return;
    }
    constexpr int kBuilds = 3;
    constexpr int kPlain = 2;
    const CompositeFunction builds[kBuilds] = {PIX_Composite, PIX_CompositeSse2, PIX_CompositePortable};
    PIX_MemBitmap results[kBuilds];
    for (int k = 0; k < kBuilds; ++k) {
        CopyPicture(*scene.dst, results[k]);
        for (const Job& j : scene.jobs)
            builds[k](&results[k], scene.src, j.x, j.y, &j.from, 1.0f, kMode);
    }
    std::string error = CheckAgainstRule(scene);
    for (int k = 1; k < kBuilds; ++k)
        for (int32_t y = 0; y < results[0].Height() && error.empty(); ++y)
            if (std::memcmp(results[0].Pixels() + y * results[0].Stride(),
                            results[k].Pixels() + y * results[k].Stride(), size_t(results[0].Width()) * 4) != 0)
                error = "build " + std::to_string(k) + " differs from the vector one in row " + std::to_string(y);
    if (!error.empty()) {
        st.SkipWithError(error.c_str());
        return;
    }
    double seconds[kBuilds] = {0.0, 0.0, 0.0};
    int first = 0;
    for (auto _ : st) {
        for (int turn = 0; turn < kBuilds; ++turn) {
            const int k = (first + turn) % kBuilds;
            const double start = ThreadClock::Seconds();
            for (const Job& j : scene.jobs)
                builds[k](&results[k], scene.src, j.x, j.y, &j.from, 1.0f, kMode);
            benchmark::ClobberMemory();
            const double elapsed = ThreadClock::Seconds() - start;
            seconds[k] += elapsed;
            if (k == kPlain)
                st.SetIterationTime(elapsed);
        }
        first = (first + 1) % kBuilds;
    }
    const double pixels = double(st.iterations()) * double(scene.pixels);
    st.counters["vector_ns_per_pixel"] = seconds[0] * 1e9 / pixels;
    st.counters["sse2_ns_per_pixel"] = seconds[1] * 1e9 / pixels;
    st.counters["portable_ns_per_pixel"] = seconds[kPlain] * 1e9 / pixels;
    st.counters["portable_vs_vector"] = seconds[kPlain] / seconds[0];
    st.counters["portable_vs_sse2"] = seconds[kPlain] / seconds[1];
}
#endif

void Register()
{
    const struct {
        const char* name;
        Which which;
    } scenes[] = {
        {"meter_frame", Which::kMeterFrame},
        {"knob_frames", Which::kKnobFrames},
        {"random_alpha", Which::kRandomAlpha},
    };
    for (const auto& s : scenes) {
        const Which which = s.which;
        benchmark::RegisterBenchmark((std::string("PIX_Composite/source_alpha_vs_pixman_over/") + s.name).c_str(),
                                     [which](benchmark::State& st) { BenchScene(st, which); })
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
#ifdef TIDEPULL_BENCH_PORTABLE_COMPOSITE
        benchmark::RegisterBenchmark((std::string("PIX_Composite/portable_vs_vector/") + s.name).c_str(),
                                     [which](benchmark::State& st) { BenchPortable(st, which); })
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
#endif
    }
}

// Registered before main, in this file's order, with the rest of the
// binary's benchmarks (bench/BenchMain.cpp).
const bool kRegistered = (Register(), true);

}   // namespace
