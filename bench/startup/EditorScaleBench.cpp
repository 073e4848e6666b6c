// What an editor costs at a display scale: one instance of the plug (built
// into this binary) with its editor drawn whole at the scale, as a window's
// first paint draws it. The 1x strips are cached before it starts (the first
// instance of a process decodes them, see StartupBench.cpp), so the figures
// are what the scale adds.
//
// "first": the first editor at the scale in the process; for a scale above 1
// it decodes the eleven double-density strips and keeps the strips of its
// scale in the process-wide cache ("cache_bytes_kept", still held after the
// instance is released). "later": every further instance at the scale,
// from the cache ("instance_bytes" while it lives).
//
// At 1x nothing may be decoded and nothing kept: a 1x editor must cost what
// it cost before there were other scales; any other count fails the
// benchmark. Each scale can be measured once per process, so these run one
// iteration each.
#include "common/ThreadClock.h"
#include "gui/BitmapCache.h"
#include "gui/Editor.h"
#include "pix/PIX_SysBitmap.h"
#include "plug/Tidepull.h"
#include "startup/HeapUsage.h"
#include "startup/PngDecodeCounter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

constexpr int32_t kStripIds[] = {101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111};
constexpr int64_t kStripCount = 11;
constexpr int kLaterInstances = 5;

struct Figures {
    double seconds = 0.0;
    int64_t decodes = 0;
    int64_t bytesWhileAlive = 0;
    int64_t bytesKept = 0;
    bool drawn = false;
};

// One instance, its editor drawn whole at the scale, then released.
Figures EditorAt(DisplayScale scale)
{
    Figures f;
    const int64_t decodesBefore = PngDecodeCounter::Count();
    const int64_t heapBefore = HeapUsage::InUse();
    const double start = ThreadClock::Seconds();
    Tidepull* plug = new Tidepull();
    auto* editor = dynamic_cast<Editor*>(plug->GetEditor());
    if (editor) {
        editor->SetDisplayScale(scale);
        f.drawn = editor->Render(Bounds(0, 0, editor->Width(), editor->Height())) && editor->DrawingSurface() &&
            editor->DrawingSurface()->Width() == editor->DeviceWidth();
    }
    f.seconds = ThreadClock::Seconds() - start;
    f.bytesWhileAlive = HeapUsage::InUse() - heapBefore;
    f.decodes = PngDecodeCounter::Count() - decodesBefore;
    plug->release();
    f.bytesKept = HeapUsage::InUse() - heapBefore;
    return f;
}

int32_t CachedAt(int32_t quarters)
{
    int32_t n = 0;
    for (int32_t id : kStripIds)
        n += BitmapCache::Find(id, quarters) != nullptr;
    return n;
}

void EditorAtScale(benchmark::State& st, double factor)
{
    const DisplayScale scale = DisplayScale::FromFactor(factor);
    // The 1x strips, as any earlier instance leaves them.
    EditorAt(DisplayScale());
    if (CachedAt(BitmapCache::kOneX) != kStripCount) {
        st.SkipWithError("the 1x strips could not be cached");
        return;
    }
    if (!scale.IsOne() && CachedAt(scale.Quarters()) != 0) {
        st.SkipWithError("this scale was drawn earlier in the process; run the benchmark on its own");
        return;
    }
    const int32_t doubleBefore = CachedAt(DisplayScale::kArtworkQuarters);
    Figures first;
    double laterSeconds = 0.0;
    int64_t laterBytes = 0;
    int64_t laterDecodes = 0;
    for (auto _ : st) {
        first = EditorAt(scale);
        for (int i = 0; i < kLaterInstances; ++i) {
            const Figures later = EditorAt(scale);
            laterSeconds += later.seconds;
            laterBytes += later.bytesWhileAlive;
            laterDecodes += later.decodes;
        }
        st.SetIterationTime(first.seconds);
    }
    if (!first.drawn) {
        st.SkipWithError("the editor was not drawn at its scale");
        return;
    }
    const int64_t expectedDecodes = scale.IsOne() ? 0 : kStripCount;
    if (first.decodes != expectedDecodes || laterDecodes != 0) {
        st.SkipWithError(("decoded " + std::to_string(first.decodes) + " images first and " +
                          std::to_string(laterDecodes) + " later, not " + std::to_string(expectedDecodes) + " and 0")
                             .c_str());
        return;
    }
    if (scale.IsOne() && (CachedAt(DisplayScale::kArtworkQuarters) != doubleBefore || first.bytesKept > 4096)) {
        st.SkipWithError("the 1x editor cached strips of another scale");
        return;
    }
    st.counters["first_ms"] = first.seconds * 1e3;
    st.counters["first_png_decodes"] = double(first.decodes);
    st.counters["cache_bytes_kept"] = double(first.bytesKept);
    st.counters["later_ms"] = laterSeconds * 1e3 / kLaterInstances;
    st.counters["instance_bytes"] = double(laterBytes) / kLaterInstances;
}

void Register()
{
    for (double factor : {1.0, 1.5, 2.0}) {
        char name[64];
        std::snprintf(name, sizeof name, "startup/editor_at_scale/%.1f", factor);
        benchmark::RegisterBenchmark(name, EditorAtScale, factor)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
}

const bool kRegistered = (Register(), true);

}   // namespace
