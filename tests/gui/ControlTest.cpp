#include "ProbeControl.h"
#include "RecordingPlug.h"
#include "TestEditor.h"

#include "gui/BitmapControl.h"
#include "gui/BitmapStrip.h"
#include "gui/StripKnobControl.h"
#include "gui/SwitchControl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

BitmapStrip Strip(int32_t width, int32_t height, int32_t frames, bool horizontal = false)
{
    BitmapStrip s;
    s.width = width;
    s.height = height;
    s.frames = frames;
    s.horizontal = horizontal;
    return s;
}

MouseModifiers Mods(bool shift = false, bool control = false)
{
    MouseModifiers m;
    m.left = true;
    m.shift = shift;
    m.control = control;
    return m;
}

}   // namespace

TEST(Control, FreshControlIsDirtyWithNoDefault)
{
    ProbeControl c(nullptr, Bounds(0, 0, 10, 10));
    EXPECT_TRUE(c.NeedsRedraw());
    EXPECT_EQ(c.Value(), 0.0);
    EXPECT_EQ(c.DefaultValue(), -1.0);
    EXPECT_TRUE(c.PromptDisabled());
    EXPECT_EQ(c.TargetRect(), c.Rect());
    EXPECT_STREQ(c.GetTextStyle().face, "Verdana");
    EXPECT_EQ(c.GetTextStyle().size, 12);
    EXPECT_EQ(c.GetTextStyle().alignment, kAlignCenter);
    EXPECT_EQ(c.TextEntryLength(), 32);
}

TEST(Control, FirstReceivedValueBecomesDefaultWithoutPushOrRedraw)
{
    RecordingPlug plug;
    ProbeControl c(&plug, Bounds(0, 0, 10, 10), RecordingPlug::kGain);
    c.MarkClean();
    c.ReceiveParamValue(0.3);
    EXPECT_EQ(c.Value(), 0.3);
    EXPECT_EQ(c.DefaultValue(), 0.3);
    EXPECT_FALSE(c.NeedsRedraw());
    EXPECT_TRUE(plug.events.empty());

    // Later values change the value only, mark it dirty and ask for a redraw.
    c.ReceiveParamValue(0.6);
    EXPECT_EQ(c.Value(), 0.6);
    EXPECT_EQ(c.DefaultValue(), 0.3);
    EXPECT_TRUE(c.NeedsRedraw());
    EXPECT_TRUE(c.IsRedrawRequested());
    EXPECT_TRUE(plug.events.empty());

    // The same value again changes nothing.
    c.MarkClean();
    c.MarkClean();
    c.ReceiveParamValue(0.6);
    EXPECT_FALSE(c.NeedsRedraw());
}

TEST(Control, ValuesStreamedBetweenTwoFramesEndInTheLastOneClamped)
{
    // The meter's way: a value every sample, a frame every 40 ms. Once both
    // marks are set, further values only replace the value, still clamped,
    // and the frames drawn and owed stay the same.
    ProbeControl c(nullptr, Bounds(0, 0, 10, 10));
    c.SetClamp(0.0, 0.8);
    c.ReceiveParamValue(0.1);   // the default
    c.MarkClean();
    c.MarkClean();
    for (int i = 1; i <= 1000; ++i)
        c.ReceiveParamValue(0.001 * i);
    EXPECT_EQ(c.Value(), 0.8);
    c.ReceiveParamValue(0.25);
    EXPECT_EQ(c.Value(), 0.25);
    c.ReceiveParamValue(std::nan(""));
    EXPECT_EQ(c.Value(), 0.0);
    EXPECT_EQ(c.DefaultValue(), 0.1);
    // One frame drawn, and the request still owes the next one.
    EXPECT_TRUE(c.NeedsRedraw());
    c.MarkClean();
    EXPECT_TRUE(c.NeedsRedraw());
    c.MarkClean();
    EXPECT_FALSE(c.NeedsRedraw());
    // A value after a clean frame marks the control again.
    c.ReceiveParamValue(0.5);
    EXPECT_TRUE(c.NeedsRedraw());
    EXPECT_TRUE(c.IsRedrawRequested());
}

TEST(Control, ARunOfValuesEndsAsTheSameValuesOneAtATime)
{
    // Each run against a control fed the same values one call each, from the
    // same start: value, default and both marks alike after every run.
    ProbeControl one(nullptr, Bounds(0, 0, 10, 10));
    ProbeControl run(nullptr, Bounds(0, 0, 10, 10));
    one.SetClamp(0.0, 0.8);
    run.SetClamp(0.0, 0.8);
    const std::vector<std::vector<double>> runs = {
        {0.3, 0.3, 0.4},   // the first becomes the default, the rest move on
        {0.4, 0.4},   // nothing new: no marks
        {0.9, 0.95, 0.2, 1.5},   // clamped, the last one wins
        {std::nan(""), 0.0},   // NaN to the low end, then the same value again
        {},   // an empty run changes nothing
        {0.5},
        {0.6, 0.5},   // away and back within the run: still a change
    };
    for (size_t k = 0; k < runs.size(); ++k) {
        one.MarkClean();
        one.MarkClean();
        run.MarkClean();
        run.MarkClean();
        for (double v : runs[k])
            one.ReceiveParamValue(v);
        run.ReceiveParamValues(runs[k].data(), static_cast<int32_t>(runs[k].size()));
        EXPECT_EQ(run.Value(), one.Value()) << "run " << k;
        EXPECT_EQ(run.DefaultValue(), one.DefaultValue()) << "run " << k;
        EXPECT_EQ(run.NeedsRedraw(), one.NeedsRedraw()) << "run " << k;
        EXPECT_EQ(run.IsRedrawRequested(), one.IsRedrawRequested()) << "run " << k;
    }
    EXPECT_EQ(run.Value(), 0.5);
    EXPECT_EQ(run.DefaultValue(), 0.3);
    EXPECT_TRUE(run.IsRedrawRequested());
}

TEST(Control, ARunOfValuesMarksAsValuesOneAtATimeFromEveryDrawState)
{
    // Runs arriving with both marks set, with only the dirty mark left after
    // one drawn frame, and with none: the marks end as one call per value
    // leaves them, and a run never leaves a control clean that owes a frame.
    const std::vector<std::vector<double>> runs = {{0.3}, {0.6, 0.7}, {0.7}, {0.1}, {0.2, 0.25}, {0.9}};
    for (int cleans = 0; cleans <= 2; ++cleans) {
        ProbeControl one(nullptr, Bounds(0, 0, 10, 10));
        ProbeControl run(nullptr, Bounds(0, 0, 10, 10));
        for (size_t k = 0; k < runs.size(); ++k) {
            for (int c = 0; c < cleans; ++c) {
                one.MarkClean();
                run.MarkClean();
            }
            for (double v : runs[k])
                one.ReceiveParamValue(v);
            run.ReceiveParamValues(runs[k].data(), static_cast<int32_t>(runs[k].size()));
            EXPECT_EQ(run.Value(), one.Value()) << cleans << " cleans, run " << k;
            EXPECT_EQ(run.NeedsRedraw(), one.NeedsRedraw()) << cleans << " cleans, run " << k;
            EXPECT_EQ(run.IsRedrawRequested(), one.IsRedrawRequested()) << cleans << " cleans, run " << k;
        }
        // A new value drawn in one frame is drawn once more in the next.
        run.MarkClean();
        EXPECT_TRUE(run.NeedsRedraw()) << cleans << " cleans";
    }
}

TEST(Control, DoubleClickRestoresTheFirstValueAndSendsIt)
{
    RecordingPlug plug;
    ProbeControl c(&plug, Bounds(0, 0, 10, 10), RecordingPlug::kGain);
    c.MouseDoubleClick(1, 1, Mods());   // no default yet: nothing
    EXPECT_TRUE(plug.events.empty());

    c.ReceiveParamValue(0.3);
    c.ReceiveParamValue(0.9);
    c.MouseDoubleClick(1, 1, Mods());
    EXPECT_EQ(c.Value(), 0.3);
    EXPECT_EQ(plug.Trace(), "P0 C0");
    EXPECT_EQ(plug.LastValue('P'), 0.3);
    EXPECT_NEAR(plug.ParamAt(RecordingPlug::kGain)->Value(), -18.0 + 0.3 * 36.0, 1e-12);
}

TEST(Control, RedrawRequestKeepsTheControlDirtyForOneMoreDraw)
{
    ProbeControl c(nullptr, Bounds(0, 0, 10, 10));
    c.MarkClean();
    EXPECT_FALSE(c.NeedsRedraw());
    c.SetHidden(true);
    EXPECT_TRUE(c.IsHidden());
    EXPECT_TRUE(c.NeedsRedraw());
    c.MarkClean();
    EXPECT_TRUE(c.NeedsRedraw());
    c.MarkClean();
    EXPECT_FALSE(c.NeedsRedraw());
}

TEST(Control, MarkDirtyLimitsTheValueBeforeItReachesThePlug)
{
    RecordingPlug plug;
    ProbeControl c(&plug, Bounds(0, 0, 10, 10), RecordingPlug::kMix);
    c.SetValue(1.7);
    c.MarkDirty(true);
    EXPECT_EQ(c.Value(), 1.0);
    EXPECT_EQ(plug.LastValue('P'), 1.0);

    c.SetClamp(0.25, 0.75);
    c.SetValue(-3.0);
    c.MarkDirty(false);
    EXPECT_EQ(c.Value(), 0.25);
    EXPECT_EQ(plug.Trace(), "P3 C3");   // no push without the flag
}

TEST(Control, UnboundControlNeverCallsThePlug)
{
    RecordingPlug plug;
    ProbeControl c(&plug, Bounds(0, 0, 10, 10), -1);
    c.ApplyUserValue(0.5);
    c.MarkDirty(true);
    EXPECT_TRUE(plug.events.empty());
}

TEST(Control, ApplyUserValueSendsOnlyChanges)
{
    RecordingPlug plug;
    ProbeControl c(&plug, Bounds(0, 0, 10, 10), RecordingPlug::kMix);
    c.ApplyUserValue(0.0);   // equal to the current value
    EXPECT_TRUE(plug.events.empty());
    c.ApplyUserValue(0.4);
    EXPECT_EQ(plug.Trace(), "P3 C3");
    EXPECT_TRUE(c.IsRedrawRequested());
}

TEST(Control, LinkedDisplaysReceiveTheFormattedValueAndName)
{
    RecordingPlug plug;
    ProbeControl knob(&plug, Bounds(0, 0, 10, 10), RecordingPlug::kGain);
    ProbeControl valueText(&plug, Bounds(0, 10, 10, 20));
    ProbeControl nameText(&plug, Bounds(0, 20, 10, 30));
    knob.SetValueDisplay(&valueText);
    knob.SetNameDisplay(&nameText);
    knob.SetValue(0.25);
    knob.MarkDirty(true);
    ASSERT_EQ(valueText.texts.size(), 1u);
    EXPECT_EQ(valueText.texts[0], "-9.00 dB");
    ASSERT_EQ(nameText.texts.size(), 1u);
    EXPECT_EQ(nameText.texts[0], "Gain");
}

TEST(Control, GrayingScalesTheBlendWeight)
{
    ProbeControl c(nullptr, Bounds(0, 0, 10, 10));
    c.MarkClean();
    c.SetGrayed(true);
    EXPECT_TRUE(c.IsGrayed());
    EXPECT_FLOAT_EQ(c.Blend().weight, 0.25f);
    EXPECT_TRUE(c.NeedsRedraw());
    c.SetGrayed(false);
    EXPECT_FLOAT_EQ(c.Blend().weight, 1.0f);
}

TEST(Control, HitTestUsesTheTargetRect)
{
    ProbeControl c(nullptr, Bounds(10, 20, 30, 40));
    EXPECT_TRUE(c.HitTest(10, 20));
    EXPECT_TRUE(c.HitTest(29, 39));
    EXPECT_FALSE(c.HitTest(30, 39));
    EXPECT_FALSE(c.HitTest(29, 40));
    EXPECT_FALSE(c.HitTest(9, 25));

    c.SetTargetRect(Bounds(0, 0, 5, 5));
    EXPECT_TRUE(c.HitTest(0, 0));
    EXPECT_FALSE(c.HitTest(15, 25));

    // An all-zero target rect is empty: nothing hits it, not even (0, 0).
    c.SetTargetRect(Bounds());
    EXPECT_FALSE(c.HitTest(0, 0));
    EXPECT_FALSE(c.HitTest(15, 25));
}

TEST(Control, AuxiliaryValuesMarkDirtyOnChangeOnly)
{
    ProbeControl c(nullptr, Bounds(0, 0, 10, 10));
    c.AddAuxParam(4);
    c.MarkClean();
    c.ReceiveAuxParamValue(0, 0.0, 1);   // unchanged
    EXPECT_FALSE(c.NeedsRedraw());
    c.ReceiveAuxParamValue(0, 0.7, 1);
    EXPECT_EQ(c.AuxParamAt(0)->value.load(), 0.7);
    EXPECT_TRUE(c.NeedsRedraw());
    EXPECT_TRUE(c.IsRedrawRequested());
    c.ReceiveAuxParamValue(3, 0.2, 1);   // no such link: ignored
}

TEST(Control, PromptOpensTextEntryCentredOnTheControl)
{
    RecordingPlug plug;
    TestEditor editor(&plug);
    auto* c = new ProbeControl(&plug, Bounds(10, 10, 35, 35), RecordingPlug::kGain);
    editor.AddControl(c);

    MouseModifiers right;
    right.right = true;
    c->MouseDown(20, 20, right);   // prompting is off by default
    EXPECT_EQ(editor.entryCalls, 0);

    c->SetPromptDisabled(false);
    plug.ParamAt(RecordingPlug::kGain)->SetValue(-3.5);
    c->MouseDown(20, 20, right);
    ASSERT_EQ(editor.entryCalls, 1);
    EXPECT_EQ(editor.lastEntry.control, c);
    EXPECT_EQ(editor.lastEntry.param, plug.ParamAt(RecordingPlug::kGain));
    EXPECT_EQ(editor.lastEntry.text, "-3.50");
    // Centre (22.5, 22.5) truncates to (22, 22).
    EXPECT_EQ(editor.lastEntry.area, Bounds(2, 14, 42, 30));
    EXPECT_TRUE(c->IsRedrawRequested());

    // A left click does not prompt.
    c->MouseDown(20, 20, Mods());
    EXPECT_EQ(editor.entryCalls, 1);
}

TEST(Control, PromptOnUnboundControlDoesNothing)
{
    RecordingPlug plug;
    TestEditor editor(&plug);
    auto* c = new ProbeControl(&plug, Bounds(10, 10, 35, 35), -1);
    editor.AddControl(c);
    c->SetPromptDisabled(false);
    c->PromptForValue();
    EXPECT_EQ(editor.entryCalls, 0);
    EXPECT_EQ(editor.menuCalls, 0);
}

TEST(BitmapStrip, FrameIndexesFollowTheValue)
{
    const BitmapStrip knob101 = Strip(40, 4040, 101);
    EXPECT_EQ(knob101.FrameFor(0.0), 1);
    EXPECT_EQ(knob101.FrameFor(0.5), 51);
    EXPECT_EQ(knob101.FrameFor(1.0), 101);
    EXPECT_EQ(knob101.FrameFor(0.004), 1);
    EXPECT_EQ(knob101.FrameFor(0.005), 2);

    const BitmapStrip knob121 = Strip(50, 6050, 121);
    EXPECT_EQ(knob121.FrameFor(0.0), 1);
    EXPECT_EQ(knob121.FrameFor(0.5), 61);
    EXPECT_EQ(knob121.FrameFor(1.0), 121);
    EXPECT_EQ(knob121.FrameFor(1.0125), 121);   // meter overshoot is limited
    EXPECT_EQ(knob121.FrameFor(-0.2), 1);

    const BitmapStrip knob61 = Strip(25, 1525, 61);
    EXPECT_EQ(knob61.FrameFor(0.0), 1);
    EXPECT_EQ(knob61.FrameFor(0.5), 31);
    EXPECT_EQ(knob61.FrameFor(1.0), 61);
    EXPECT_EQ(knob61.FrameFor(1.0 / 120.0), 2);   // half a frame step rounds up

    // The six-position release knob: plain 0..5 normalised by 5.
    const BitmapStrip release = Strip(65, 378, 6);
    for (int pos = 0; pos <= 5; ++pos)
        EXPECT_EQ(release.FrameFor(pos / 5.0), pos + 1) << pos;

    const BitmapStrip single = Strip(100, 50, 1);
    EXPECT_EQ(single.FrameFor(0.7), 1);
    EXPECT_EQ(knob121.FrameFor(std::nan("")), 1);
}

TEST(BitmapStrip, FrameOriginAndSize)
{
    const BitmapStrip release = Strip(65, 378, 6);
    EXPECT_EQ(release.FrameWidth(), 65);
    EXPECT_EQ(release.FrameHeight(), 63);
    int32_t x = -1;
    int32_t y = -1;
    release.FrameOrigin(1, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    release.FrameOrigin(4, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 189);

    // Frames that do not divide the height evenly round to the nearest row.
    const BitmapStrip odd = Strip(10, 100, 3);
    odd.FrameOrigin(2, &x, &y);
    EXPECT_EQ(y, 33);
    odd.FrameOrigin(3, &x, &y);
    EXPECT_EQ(y, 67);

    const BitmapStrip wide = Strip(300, 20, 3, true);
    EXPECT_EQ(wide.FrameWidth(), 100);
    EXPECT_EQ(wide.FrameHeight(), 20);
    wide.FrameOrigin(3, &x, &y);
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 0);
}

TEST(BitmapControl, RectIsPositionPlusOneFrame)
{
    const BitmapControl meter(nullptr, 702, 33, -1, Strip(200, 14157, 121), kBlendSourceAlpha);
    EXPECT_EQ(meter.Rect(), Bounds(702, 33, 902, 150));
    EXPECT_FLOAT_EQ(meter.Blend().weight, 1.0f);
    const StripKnobControl knob(nullptr, 535, 197, 2, Strip(50, 6050, 121), kKnobVertical, 4.0);
    EXPECT_EQ(knob.Rect(), Bounds(535, 197, 585, 247));
    EXPECT_EQ(knob.Blend().method, kBlendSourceAlpha);
    EXPECT_EQ(knob.Gearing(), 4.0);
}

TEST(KnobControl, DragGearing)
{
    // 60 pixels high, gearing 4: 240 pixels upward span the range.
    StripKnobControl knob(nullptr, 0, 0, -1, Strip(30, 6000, 100), kKnobVertical, 4.0);
    ASSERT_EQ(knob.Rect().Height(), 60);
    for (int i = 0; i < 24; ++i)
        knob.MouseDrag(0, 0, 0, -10, Mods());
    EXPECT_NEAR(knob.Value(), 1.0, 1e-12);
    knob.MouseDrag(0, 0, 0, 120, Mods());
    EXPECT_NEAR(knob.Value(), 0.5, 1e-12);
    knob.MouseDrag(0, 0, 0, 500, Mods());   // limited at the bottom
    EXPECT_EQ(knob.Value(), 0.0);

    // Shift or control make it ten times finer: 2400 pixels.
    knob.MouseDrag(0, 0, 0, -240, Mods(true, false));
    EXPECT_NEAR(knob.Value(), 0.1, 1e-12);
    knob.MouseDrag(0, 0, 0, -2160, Mods(false, true));
    EXPECT_NEAR(knob.Value(), 1.0, 1e-12);

    // Sideways movement does nothing to a vertical knob.
    knob.MouseDrag(0, 0, -50, 0, Mods());
    EXPECT_NEAR(knob.Value(), 1.0, 1e-12);
}

TEST(KnobControl, HorizontalKnobFollowsTheWidth)
{
    StripKnobControl knob(nullptr, 0, 0, -1, Strip(50, 1000, 10), kKnobHorizontal, 2.0);
    knob.MouseDrag(0, 0, 25, -400, Mods());
    EXPECT_NEAR(knob.Value(), 0.25, 1e-12);
    knob.MouseDrag(0, 0, 100, 0, Mods(true, false));
    EXPECT_NEAR(knob.Value(), 0.35, 1e-12);
}

TEST(KnobControl, WheelSteps)
{
    RecordingPlug plug;
    StripKnobControl knob(&plug, 0, 0, RecordingPlug::kMix, Strip(30, 600, 10), kKnobVertical, 4.0);
    knob.MouseWheel(0, 0, Mods(), 3);
    EXPECT_NEAR(knob.Value(), 0.03, 1e-12);
    knob.MouseWheel(0, 0, Mods(false, true), 3);
    EXPECT_NEAR(knob.Value(), 0.033, 1e-12);
    knob.MouseWheel(0, 0, Mods(true, false), -1);
    EXPECT_NEAR(knob.Value(), 0.032, 1e-12);
    knob.MouseWheel(0, 0, Mods(), -10);   // limited at 0
    EXPECT_EQ(knob.Value(), 0.0);
    EXPECT_EQ(plug.LastValue('P'), 0.0);
    EXPECT_EQ(plug.Trace(), "P3 C3 P3 C3 P3 C3 P3 C3");
}

TEST(SwitchControl, StepsThroughItsFramesAndWraps)
{
    RecordingPlug plug;
    SwitchControl two(&plug, 0, 0, RecordingPlug::kSwitch, Strip(38, 76, 2), kBlendSourceAlpha);
    two.SetValue(1.0);
    two.MouseDown(1, 1, Mods());
    EXPECT_EQ(two.Value(), 0.0);
    EXPECT_EQ(plug.LastValue('P'), 0.0);
    two.MouseDown(1, 1, Mods());
    EXPECT_EQ(two.Value(), 1.0);
    EXPECT_EQ(two.CurrentFrame(), 2);
    // A double click is one more click.
    two.MouseDoubleClick(1, 1, Mods());
    EXPECT_EQ(two.Value(), 0.0);
    EXPECT_EQ(two.CurrentFrame(), 1);

    SwitchControl three(nullptr, 0, 0, -1, Strip(10, 30, 3), kBlendSourceAlpha);
    const double expected[] = {0.5, 1.0, 0.0, 0.5};
    for (double e : expected) {
        three.MouseDown(1, 1, Mods());
        EXPECT_EQ(three.Value(), e);
    }

    // Eleven frames: ten steps of 0.1 add up to a hair over 1 and still stop there.
    SwitchControl eleven(nullptr, 0, 0, -1, Strip(10, 110, 11), kBlendSourceAlpha);
    for (int i = 0; i < 10; ++i)
        eleven.MouseDown(1, 1, Mods());
    EXPECT_NEAR(eleven.Value(), 1.0, 1e-9);
    EXPECT_EQ(eleven.CurrentFrame(), 11);
    eleven.MouseDown(1, 1, Mods());
    EXPECT_EQ(eleven.Value(), 0.0);
}
