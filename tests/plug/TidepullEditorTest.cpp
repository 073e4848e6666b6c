#include "AllocationCounter.h"
#include "EditorPixels.h"
#include "PlugHarness.h"

#include "gui/BitmapCache.h"
#include "gui/BitmapControl.h"
#include "gui/StripKnobControl.h"
#include "gui/SwitchControl.h"
#include "gui/WindowHost.h"
#include "plug/TidepullEditorLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <typeinfo>

namespace {

using Layout = TidepullEditorLayout;

WindowHost* EditorOf(Tidepull& plug)
{
    return dynamic_cast<WindowHost*>(plug.GetEditor());
}

// A parameter change as the adaptor applies one from the host.
void SetFromHost(Tidepull& plug, int32_t idx, double plain)
{
    std::lock_guard<std::recursive_mutex> lock(plug.Mutex());
    plug.ParamAt(idx)->SetValue(plain);
    plug.GetEditor()->PushParamToControls(idx, plain, false);
    plug.ParamChanged(idx);
}

// Every control drawn, as the window's first paint does.
void PaintAll(Editor& editor)
{
    editor.Render(Bounds(0, 0, editor.Width(), editor.Height()));
}

struct Expected {
    const std::type_info& type;
    int32_t stripId;
    int32_t frames;
    Bounds rect;
    int32_t param;
};

const Expected kLayout[] = {
    {typeid(BitmapControl), 106, 1, Bounds(0, 0, 1001, 270), -1},
    {typeid(StripKnobControl), 101, 61, Bounds(202, 207, 226, 232), 0},
    {typeid(StripKnobControl), 102, 61, Bounds(640, 207, 665, 232), 1},
    {typeid(StripKnobControl), 103, 121, Bounds(535, 197, 585, 247), 2},
    {typeid(StripKnobControl), 104, 121, Bounds(424, 197, 476, 247), 3},
    {typeid(StripKnobControl), 105, 6, Bounds(299, 190, 364, 253), 4},
    {typeid(StripKnobControl), 110, 61, Bounds(853, 207, 878, 232), 5},
    {typeid(StripKnobControl), 111, 61, Bounds(639, 96, 666, 123), 6},
    {typeid(BitmapControl), 107, 121, Bounds(702, 33, 902, 150), -1},
    {typeid(SwitchControl), 108, 2, Bounds(781, 197, 819, 235), 7},
    {typeid(SwitchControl), 109, 2, Bounds(721, 207, 746, 232), 8},
};

const BitmapStrip& StripOf(const Control& c)
{
    if (auto* knob = dynamic_cast<const StripKnobControl*>(&c))
        return knob->Strip();
    return dynamic_cast<const BitmapControl&>(c).Strip();
}

int32_t FrameOf(const Control& c)
{
    return StripOf(c).FrameFor(c.Value());
}

// The control's area on the surface shows the given frame of its strip.
void ExpectFrameShown(const Editor& editor, int32_t idx, int32_t frame)
{
    const Expected& e = kLayout[idx];
    EXPECT_EQ(FrameOf(*editor.GetControl(idx)), frame) << "control " << idx;
    EXPECT_TRUE(EditorPixels::Shown(editor, e.rect) == EditorPixels::Expected(e.stripId, e.frames, frame, e.rect))
        << "control " << idx << " does not show frame " << frame;
}

}   // namespace

TEST(TidepullEditor, ElevenControlsAtTheirPlacesBoundToTheirParameters)
{
    PlugPtr plug = MakeHostedPlug();
    WindowHost* editor = EditorOf(*plug);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Width(), 1001);
    EXPECT_EQ(editor->Height(), 270);
    EXPECT_EQ(editor->FrameRate(), 25);
    EXPECT_FALSE(editor->IsWindowOpen());
    ASSERT_EQ(editor->ControlCount(), 11);
    EXPECT_EQ(plug->MeterControlIndex(), 8);

    for (int32_t i = 0; i < 11; ++i) {
        const Control& c = *editor->GetControl(i);
        const Expected& e = kLayout[i];
        EXPECT_EQ(typeid(c), e.type) << i;
        EXPECT_EQ(c.Rect(), e.rect) << i;
        EXPECT_EQ(c.ParamIdx(), e.param) << i;
        EXPECT_EQ(c.Blend().method, i == 0 ? kBlendCopy : kBlendSourceAlpha) << i;
        EXPECT_EQ(c.Blend().weight, 1.0f) << i;
        EXPECT_EQ(StripOf(c).frames, e.frames) << i;
        EXPECT_EQ(StripOf(c).bitmap, BitmapCache::Find(e.stripId)) << i;
        if (auto* knob = dynamic_cast<const KnobControl*>(&c)) {
            EXPECT_EQ(knob->Direction(), kKnobVertical);
            EXPECT_EQ(knob->Gearing(), 4.0);
        }
    }
}

TEST(TidepullEditor, DefaultsShowTheirFramesOverThePanel)
{
    PlugPtr plug = MakeHostedPlug();
    WindowHost& editor = *EditorOf(*plug);
    PaintAll(editor);
    // Input and Output at 0 dB, AC 0, DC 2 of 1..10, Release 0, HPF 20,
    // MIX 100, the meter at rest, Bypass lit, the sidechain dark.
    const int32_t frames[11] = {1, 31, 31, 1, 14, 1, 1, 61, 1, 2, 1};
    for (int32_t i = 1; i < 11; ++i)
        ExpectFrameShown(editor, i, frames[i]);
    const Bounds title(0, 0, 1001, 30);   // the panel alone
    EXPECT_TRUE(EditorPixels::Shown(editor, title) == EditorPixels::Expected(106, 1, 1, title));
    EXPECT_NE(EditorPixels::Expected(108, 2, 1, kLayout[9].rect), EditorPixels::Expected(108, 2, 2, kLayout[9].rect));
}

TEST(TidepullEditor, ReleaseAndThresholdFrames)
{
    PlugPtr plug = MakeHostedPlug();
    WindowHost& editor = *EditorOf(*plug);
    PaintAll(editor);
    SetFromHost(*plug, Tidepull::kRelease, 3.0);
    SetFromHost(*plug, Tidepull::kAcThreshold, 25.0);
    editor.OnTimer();
    ExpectFrameShown(editor, Layout::kReleaseKnob, 4);
    ExpectFrameShown(editor, Layout::kAcThresholdKnob, 61);
    SetFromHost(*plug, Tidepull::kRelease, 5.0);
    editor.OnTimer();
    ExpectFrameShown(editor, Layout::kReleaseKnob, 6);
}

TEST(TidepullEditor, MeterNeedleFrames)
{
    PlugPtr plug = MakeHostedPlug();
    WindowHost& editor = *EditorOf(*plug);
    PaintAll(editor);
    Control& meter = *editor.GetControl(Layout::kMeter);

    // The first value from the audio side is the default, drawn with the
    // next change.
    editor.ReceiveControlValue(Layout::kMeter, 0.99);
    EXPECT_FALSE(meter.NeedsRedraw());
    EXPECT_EQ(meter.DefaultValue(), 0.99);

    editor.ReceiveControlValue(Layout::kMeter, 0.5);
    editor.OnTimer();
    ExpectFrameShown(editor, Layout::kMeter, 61);
    editor.ReceiveControlValue(Layout::kMeter, 1.0125);
    editor.OnTimer();
    ExpectFrameShown(editor, Layout::kMeter, 121);
    // Linear in 1 - gain: a steady 6 dB of reduction stands near the middle.
    editor.ReceiveControlValue(Layout::kMeter, 1.0 - std::pow(10.0, -6.0 / 20.0));
    EXPECT_EQ(FrameOf(meter), 61);
    editor.ReceiveControlValue(Layout::kMeter, 0.0);
    editor.OnTimer();
    ExpectFrameShown(editor, Layout::kMeter, 1);
}

TEST(TidepullEditor, ChangedStateDiffersOnlyInsideTheChangedControls)
{
    PlugPtr defaults = MakeHostedPlug();
    PlugPtr changed = MakeHostedPlug();
    SetFromHost(*changed, Tidepull::kAcThreshold, 25.0);
    SetFromHost(*changed, Tidepull::kRelease, 3.0);
    SetFromHost(*changed, Tidepull::kExternalSidechain, 1.0);
    SetFromHost(*changed, Tidepull::kMix, 50.0);
    PaintAll(*EditorOf(*defaults));
    PaintAll(*EditorOf(*changed));
    const std::vector<PIX_Pixel32> a = EditorPixels::Snapshot(*EditorOf(*defaults));
    const std::vector<PIX_Pixel32> b = EditorPixels::Snapshot(*EditorOf(*changed));
    ASSERT_EQ(a.size(), b.size());

    const int32_t changedControls[] = {Layout::kAcThresholdKnob, Layout::kReleaseKnob, Layout::kSidechainSwitch,
                                       Layout::kMixKnob};
    int32_t differingIn[11] = {};
    int64_t outside = 0;
    for (int32_t y = 0; y < 270; ++y) {
        for (int32_t x = 0; x < 1001; ++x) {
            const size_t at = static_cast<size_t>(y) * 1001 + static_cast<size_t>(x);
            if (a[at] == b[at])
                continue;
            bool inside = false;
            for (int32_t idx : changedControls) {
                if (kLayout[idx].rect.Contains(x, y)) {
                    ++differingIn[idx];
                    inside = true;
                }
            }
            outside += inside ? 0 : 1;
        }
    }
    EXPECT_EQ(outside, 0);
    for (int32_t idx : changedControls)
        EXPECT_GT(differingIn[idx], 0) << "control " << idx << " looks unchanged";
}

TEST(TidepullEditor, SecondInstanceSharesTheBitmaps)
{
    PlugPtr first = MakeHostedPlug();
    const int32_t cached = BitmapCache::EntryCount();
    PlugPtr second = MakeHostedPlug();
    EXPECT_EQ(BitmapCache::EntryCount(), cached);
    for (int32_t i = 0; i < 11; ++i)
        EXPECT_EQ(StripOf(*EditorOf(*first)->GetControl(i)).bitmap, StripOf(*EditorOf(*second)->GetControl(i)).bitmap);
}

TEST(TidepullEditor, MeterEndsEveryBlockAtTheMeterStateAndOwesAFrame)
{
    // Blocks of sizes around the chain's stretches, a frame drawn between
    // any two: after each, the control holds the meter state and is marked.
    PlugPtr plug = MakeHostedPlug();
    WindowHost& editor = *EditorOf(*plug);
    SetFromHost(*plug, Tidepull::kAcThreshold, 20.0);
    const Control& meter = *editor.GetControl(Layout::kMeter);
    Signal sine = Sine(800, 1000.0, 0.5);
    std::vector<double> outL(800), outR(800);
    double* outs[2] = {outL.data(), outR.data()};
    size_t at = 0;
    // The meter's first value becomes its default, unmarked; the rest move it.
    for (int32_t n : {1, 1, 63, 64, 65, 127, 129, 3, 200, 1, 64}) {
        ASSERT_LE(at + static_cast<size_t>(n), sine.l.size());
        double* ins[4] = {sine.l.data() + at, sine.r.data() + at, sine.scL.data() + at, sine.scR.data() + at};
        double* blockOuts[2] = {outs[0] + at, outs[1] + at};
        at += static_cast<size_t>(n);
        editor.OnTimer();
        editor.OnTimer();
        ASSERT_FALSE(meter.NeedsRedraw()) << "block of " << n;
        {
            std::lock_guard<std::recursive_mutex> lock(plug->Mutex());
            plug->ProcessBlock(ins, blockOuts, n);
        }
        EXPECT_EQ(meter.Value(), plug->MeterState()) << "block of " << n;
        if (at == 1) {
            EXPECT_EQ(meter.DefaultValue(), plug->MeterState());
            continue;
        }
        EXPECT_TRUE(meter.NeedsRedraw()) << "block of " << n;
        EXPECT_TRUE(meter.IsRedrawRequested()) << "block of " << n;
    }
}

TEST(TidepullEditor, MeterFollowsTheGainReductionAndOnlyTheEditorThreadDraws)
{
    PlugPtr plug = MakeHostedPlug();
    WindowHost& editor = *EditorOf(*plug);
    SetFromHost(*plug, Tidepull::kAcThreshold, 20.0);
    SetFromHost(*plug, Tidepull::kDcThreshold, 4.0);
    PaintAll(editor);
    editor.OnTimer();   // the changed knobs' second draw
    const std::vector<PIX_Pixel32> before = EditorPixels::Snapshot(editor);

    // Two seconds of a 1 kHz sine at half scale, in blocks of 441.
    Signal sine = Sine(441, 1000.0, 0.5);
    std::vector<double> outL(441), outR(441);
    double* ins[4] = {sine.l.data(), sine.r.data(), sine.scL.data(), sine.scR.data()};
    double* outs[2] = {outL.data(), outR.data()};
    int64_t allocations = -1;
    std::thread audio([&] {
        AllocationCounter::Start();
        for (int block = 0; block < 200; ++block) {
            std::lock_guard<std::recursive_mutex> lock(plug->Mutex());
            plug->ProcessBlock(ins, outs, 441);
        }
        allocations = AllocationCounter::Stop();
    });
    audio.join();

    // The audio side stored a value and a flag; nothing was drawn.
    EXPECT_EQ(allocations, 0);
    const Control& meter = *editor.GetControl(Layout::kMeter);
    EXPECT_EQ(meter.Value(), plug->MeterState());
    EXPECT_NEAR(meter.Value(), 0.82, 0.01);
    EXPECT_TRUE(meter.NeedsRedraw());
    EXPECT_TRUE(EditorPixels::Snapshot(editor) == before);

    Bounds dirty;
    ASSERT_TRUE(editor.CollectDirty(dirty));
    EXPECT_EQ(dirty, kLayout[Layout::kMeter].rect);
    editor.OnTimer();
    ExpectFrameShown(editor, Layout::kMeter, FrameOf(meter));
    EXPECT_NEAR(FrameOf(meter), 100, 1);
}
