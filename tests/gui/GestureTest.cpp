#include "AllocationCounter.h"
#include "RecordingPlug.h"
#include "TestEditor.h"

#include "gui/BitmapControl.h"
#include "gui/StripKnobControl.h"
#include "gui/SwitchControl.h"
#include "pix/PIX_SysBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace {

MouseModifiers Left()
{
    MouseModifiers m;
    m.left = true;
    return m;
}

// A plug with its editor attached: background, a gain knob, a lamp switch
// and a meter, as the plug's own editor is put together.
class GestureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor = new TestEditor(&plug, 200, 100);
        bgId = TestEditor::DefineImage(200, 100, 1);
        editor->AddBackground(bgId, "bg.png");
        knobIdx = editor->AddControl(new StripKnobControl(&plug, 20, 20, RecordingPlug::kGain,
                                                          editor->NewStrip(50, 50, 121, &knobId), kKnobVertical, 4.0));
        meterIdx = editor->AddControl(
            new BitmapControl(&plug, 80, 10, -1, editor->NewStrip(60, 30, 121, &meterId), kBlendSourceAlpha));
        switchIdx = editor->AddControl(new SwitchControl(&plug, 150, 20, RecordingPlug::kSwitch,
                                                         editor->NewStrip(20, 20, 2, &switchId), kBlendSourceAlpha));
        plug.AttachEditor(editor);
    }

    // What the window does on a timer tick and the paint that follows.
    bool Redraw()
    {
        Bounds dirty;
        if (!editor->CollectDirty(dirty))
            return false;
        editor->Render(dirty);
        return true;
    }

    PIX_Pixel32 Centre(int32_t idx) const
    {
        const Bounds& r = editor->GetControl(idx)->Rect();
        return editor->PixelAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    RecordingPlug plug;
    TestEditor* editor = nullptr;   // owned by the plug
    int32_t bgId = 0;
    int32_t knobId = 0;
    int32_t meterId = 0;
    int32_t switchId = 0;
    int32_t knobIdx = -1;
    int32_t meterIdx = -1;
    int32_t switchIdx = -1;
};

}   // namespace

TEST_F(GestureTest, AttachingPushesValuesWhichBecomeDefaults)
{
    ASSERT_EQ(plug.GetEditor(), editor);
    EXPECT_EQ(knobIdx, 1);
    EXPECT_EQ(meterIdx, 2);
    Control* knob = editor->GetControl(knobIdx);
    EXPECT_EQ(knob->Value(), 0.5);
    EXPECT_EQ(knob->DefaultValue(), 0.5);
    EXPECT_EQ(editor->GetControl(switchIdx)->Value(), 1.0);
    EXPECT_EQ(editor->GetControl(meterIdx)->DefaultValue(), -1.0);   // bound to nothing
    ASSERT_NE(editor->DrawingSurface(), nullptr);
    EXPECT_TRUE(plug.events.empty());

    ASSERT_TRUE(Redraw());
    EXPECT_EQ(Centre(knobIdx), TestEditor::FrameColour(knobId, 61));
    EXPECT_EQ(Centre(switchIdx), TestEditor::FrameColour(switchId, 2));
    EXPECT_EQ(Centre(meterIdx), TestEditor::FrameColour(meterId, 1));
    EXPECT_EQ(editor->PixelAt(5, 5), TestEditor::FrameColour(bgId, 1));
    EXPECT_FALSE(Redraw());
}

TEST_F(GestureTest, KnobDragReachesTheParameterAndTheHostInOrder)
{
    Redraw();
    editor->HandleMouseDown(45, 45, Left());
    editor->HandleMouseDrag(45, 40, Left());
    editor->HandleMouseDrag(47, 35, Left());
    editor->HandleMouseUp(47, 35, Left());

    // Two 5-pixel steps up on a 50-pixel knob at gearing 4: +0.05 in all.
    EXPECT_EQ(plug.Trace(), "B0 P0 C0 P0 C0 E0");
    ParamRecord* gain = plug.ParamAt(RecordingPlug::kGain);
    EXPECT_NEAR(plug.LastValue('P'), 0.55, 1e-12);
    EXPECT_NEAR(gain->Value(), -18.0 + 0.55 * 36.0, 1e-9);
    // ParamChanged already saw the new value in the record.
    EXPECT_NEAR(plug.LastValue('C'), gain->Value(), 0.0);

    ASSERT_TRUE(Redraw());
    EXPECT_EQ(Centre(knobIdx), TestEditor::FrameColour(knobId, 67));
}

TEST_F(GestureTest, SwitchClickTogglesParameterAndLamp)
{
    Redraw();
    ParamRecord* sw = plug.ParamAt(RecordingPlug::kSwitch);
    editor->HandleMouseDown(155, 25, Left());
    editor->HandleMouseUp(155, 25, Left());
    EXPECT_EQ(plug.Trace(), "B2 P2 C2 E2");
    EXPECT_EQ(sw->Value(), 0.0);
    ASSERT_TRUE(Redraw());
    EXPECT_EQ(Centre(switchIdx), TestEditor::FrameColour(switchId, 1));

    plug.events.clear();
    editor->HandleMouseDown(160, 30, Left());
    editor->HandleMouseUp(160, 30, Left());
    EXPECT_EQ(plug.Trace(), "B2 P2 C2 E2");
    EXPECT_EQ(sw->Value(), 1.0);
    ASSERT_TRUE(Redraw());
    EXPECT_EQ(Centre(switchIdx), TestEditor::FrameColour(switchId, 2));
}

TEST_F(GestureTest, DoubleClickOnKnobRestoresTheAttachedValue)
{
    editor->HandleMouseDown(45, 45, Left());
    editor->HandleMouseDrag(45, 5, Left());
    editor->HandleMouseUp(45, 5, Left());
    EXPECT_NEAR(plug.ParamAt(RecordingPlug::kGain)->Value(), 7.2, 1e-9);
    plug.events.clear();
    editor->HandleMouseDoubleClick(45, 45, Left());
    editor->HandleMouseUp(45, 45, Left());
    EXPECT_EQ(plug.Trace(), "B0 P0 C0 E0");
    EXPECT_EQ(plug.ParamAt(RecordingPlug::kGain)->Value(), 0.0);
}

TEST_F(GestureTest, HostChangeDuringProcessingShowsOnTheNextRedraw)
{
    Redraw();
    // What the adaptor does for a host change while processing a block.
    std::thread audio([this] {
        std::lock_guard<std::recursive_mutex> lock(plug.Mutex());
        plug.ParamAt(RecordingPlug::kGain)->SetFromNormalized(0.25);
        plug.GetEditor()->PushParamToControls(RecordingPlug::kGain, 0.25, true);
    });
    audio.join();
    EXPECT_EQ(editor->presented.size(), 1u);   // nothing drawn by the audio side

    Bounds dirty;
    ASSERT_TRUE(editor->CollectDirty(dirty));
    EXPECT_EQ(dirty, editor->GetControl(knobIdx)->Rect());
    editor->Render(dirty);
    EXPECT_EQ(Centre(knobIdx), TestEditor::FrameColour(knobId, 31));
    EXPECT_TRUE(plug.events.empty());   // no edit goes back to the host
}

TEST_F(GestureTest, MeterPushOnlyStoresAValueAndAFlag)
{
    Redraw();
    const PIX_SysBitmap* surface = editor->DrawingSurface();
    const std::vector<PIX_Pixel32> before(surface->Pixels(), surface->Pixels() + surface->Stride() * surface->Height());
    Control* meter = editor->GetControl(meterIdx);

    AllocationCounter::Start();
    editor->ReceiveControlValue(meterIdx, 0.98);   // first value: becomes the default
    const bool dirtyAfterFirst = meter->NeedsRedraw();
    editor->ReceiveControlValue(meterIdx, 0.5);
    editor->ReceiveControlValue(99, 0.5);   // no such control
    editor->ReceiveControlValue(-1, 0.5);
    editor->PushParamToControls(RecordingPlug::kGain, 0.75, true);
    editor->PushParamToControls(RecordingPlug::kGain, 12.0, false);
    const int64_t allocations = AllocationCounter::Stop();

    EXPECT_EQ(allocations, 0);
    EXPECT_FALSE(dirtyAfterFirst);
    EXPECT_EQ(meter->DefaultValue(), 0.98);
    EXPECT_EQ(meter->Value(), 0.5);
    EXPECT_TRUE(meter->NeedsRedraw());
    EXPECT_TRUE(plug.events.empty());
    EXPECT_EQ(editor->presented.size(), 1u);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), surface->Pixels()));

    // The editor thread draws it on its next tick.
    ASSERT_TRUE(Redraw());
    EXPECT_EQ(Centre(meterIdx), TestEditor::FrameColour(meterId, 61));
}

TEST_F(GestureTest, MeterPushesWhileTheEditorRedraws)
{
    Redraw();
    constexpr int kSteps = 20000;
    std::atomic<bool> done{false};
    std::thread audio([&] {
        for (int i = 0; i <= kSteps; ++i) {
            std::lock_guard<std::recursive_mutex> lock(plug.Mutex());
            plug.GetEditor()->ReceiveControlValue(meterIdx, static_cast<double>(i % 1000) / 999.0);
            if (i % 64 == 0)
                plug.GetEditor()->PushParamToControls(RecordingPlug::kGain, (i % 100) / 99.0, true);
        }
        std::lock_guard<std::recursive_mutex> lock(plug.Mutex());
        plug.GetEditor()->ReceiveControlValue(meterIdx, 0.5);
        done = true;
    });
    while (!done)
        Redraw();
    audio.join();
    // Whatever interleaving happened, the last value is not lost: the
    // redraws still owed show it (the loop above may have made them already).
    int owed = 0;
    while (Redraw() && owed < 10)
        ++owed;
    EXPECT_LE(owed, 2);
    EXPECT_EQ(Centre(meterIdx), TestEditor::FrameColour(meterId, 61));
    // A change asks for one redraw after the one that shows it.
    plug.GetEditor()->ReceiveControlValue(meterIdx, 0.0);
    while (Redraw() && owed < 20)
        ++owed;
    plug.GetEditor()->ReceiveControlValue(meterIdx, 0.5);
    EXPECT_TRUE(Redraw());
    EXPECT_EQ(Centre(meterIdx), TestEditor::FrameColour(meterId, 61));
    Redraw();
    EXPECT_FALSE(Redraw());
}
