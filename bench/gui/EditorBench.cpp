// The editor's drawing as the window's 40 ms timer drives it, on the plug's
// own editor (built by its constructor) with no window open: a tick collects
// the dirty controls and renders their rectangle into the drawing surface.
// Copying the surface to the screen is the window system's part and is not
// counted. "share_of_core_at_25fps" is the part of one core the measured
// work would take 25 times a second.
#include "common/ThreadClock.h"
#include "gui/Bounds.h"
#include "gui/WindowHost.h"
#include "plug/Tidepull.h"

#include <benchmark/benchmark.h>

namespace {

constexpr double kTicksPerSecond = 25.0;

class EditorRig {
public:
    EditorRig() : plug(new Tidepull()), editor(dynamic_cast<WindowHost*>(plug->GetEditor()))
    {
        if (!editor)
            return;
        // The meter's first value only becomes its default; it is drawn from
        // the second on, as once processing runs.
        editor->ReceiveControlValue(plug->MeterControlIndex(), 0.9);
        editor->Render(Bounds(0, 0, editor->Width(), editor->Height()));
    }
    ~EditorRig() { plug->release(); }
    EditorRig(const EditorRig&) = delete;
    EditorRig& operator=(const EditorRig&) = delete;

    WindowHost* Editor() const { return editor; }
    void MoveMeter(double value) { editor->ReceiveControlValue(plug->MeterControlIndex(), value); }
    Bounds MeterRect() const { return editor->GetControl(plug->MeterControlIndex())->Rect(); }

private:
    Tidepull* plug;
    WindowHost* editor;
};

void TimerTickMeterOnly(benchmark::State& st)
{
    EditorRig rig;
    WindowHost* editor = rig.Editor();
    if (!editor) {
        st.SkipWithError("the plug has no editor");
        return;
    }
    rig.MoveMeter(0.25);
    Bounds dirty;
    const Bounds meter = rig.MeterRect();
    if (!editor->CollectDirty(dirty) || dirty.left != meter.left || dirty.top != meter.top ||
        dirty.right != meter.right || dirty.bottom != meter.bottom) {
        st.SkipWithError("something besides the meter is dirty");
        return;
    }
    double seconds = 0.0;
    int64_t ticks = 0;
    for (auto _ : st) {
        // A new needle position each tick, as while audio runs.
        rig.MoveMeter((ticks & 1) ? 0.25 : 0.75);
        const double start = ThreadClock::Seconds();
        editor->OnTimer();
        benchmark::ClobberMemory();
        const double t = ThreadClock::Seconds() - start;
        seconds += t;
        ++ticks;
        st.SetIterationTime(t);
    }
    // A moved meter stays dirty for one more tick; nothing else may be.
    if (editor->CollectDirty(dirty) &&
        (dirty.left != meter.left || dirty.top != meter.top || dirty.right != meter.right ||
         dirty.bottom != meter.bottom)) {
        st.SkipWithError("a tick left other controls dirty");
        return;
    }
    const double perTick = seconds / double(ticks);
    st.counters["pixels_drawn"] = double(meter.Width()) * meter.Height();
    st.counters["share_of_core_at_25fps"] = perTick * kTicksPerSecond;
}

void FullFrame(benchmark::State& st)
{
    EditorRig rig;
    WindowHost* editor = rig.Editor();
    if (!editor) {
        st.SkipWithError("the plug has no editor");
        return;
    }
    const Bounds all(0, 0, editor->Width(), editor->Height());
    double seconds = 0.0;
    for (auto _ : st) {
        const double start = ThreadClock::Seconds();
        editor->Render(all);
        benchmark::ClobberMemory();
        const double t = ThreadClock::Seconds() - start;
        seconds += t;
        st.SetIterationTime(t);
    }
    const double perFrame = seconds / double(st.iterations());
    const double pixels = double(all.Width()) * all.Height();
    st.counters["ns_per_editor_pixel"] = perFrame * 1e9 / pixels;
    st.counters["share_of_core_at_25fps"] = perFrame * kTicksPerSecond;
}

void Register()
{
    benchmark::RegisterBenchmark("editor/timer_tick_meter_only", TimerTickMeterOnly)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("editor/full_frame_1001x270", FullFrame)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
}

// Registered before main, in this file's order, with the rest of the
// binary's benchmarks (bench/BenchMain.cpp).
const bool kRegistered = (Register(), true);

}   // namespace
