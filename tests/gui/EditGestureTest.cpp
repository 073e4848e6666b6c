// What the host hears of the user's gestures in the window: every change
// between a begin and an end of its parameter, whatever the gesture.
#include "FakeWindowPlatform.h"
#include "ProbeControl.h"
#include "RecordingPlug.h"

#include "gui/SwitchControl.h"
#include "gui/WindowHost.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

MouseModifiers Left()
{
    MouseModifiers m;
    m.left = true;
    return m;
}

// An open window at 25 frames a second over a background, two knobs that
// the wheel turns, and a switch.
class EditGestureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plug = std::make_unique<RecordingPlug>(1);
        host = new WindowHost(plug.get(), 200, 100, 25, &platform);
        platform.host = host;
        Add(Bounds(0, 0, 200, 100), -1);
        gain = Add(Bounds(10, 10, 30, 30), RecordingPlug::kGain);
        mix = Add(Bounds(40, 10, 60, 30), RecordingPlug::kMix);
        // A lamp switch: no picture is needed to tell what it sends.
        BitmapStrip lamp;
        lamp.width = 20;
        lamp.height = 40;
        lamp.frames = 2;
        sw = new SwitchControl(plug.get(), 70, 10, RecordingPlug::kSwitch, lamp, kBlendSourceAlpha);
        host->AddControl(sw);
        plug->AttachEditor(host);
        ASSERT_NE(host->CreateEditorWindow(reinterpret_cast<void*>(0x77)), nullptr);
        host->OnTimer();
        plug->events.clear();
    }

    ProbeControl* Add(const Bounds& r, int32_t param)
    {
        auto* c = new ProbeControl(plug.get(), r, param);
        c->wheelTurns = true;
        host->AddControl(c);
        return c;
    }

    void Notch(int32_t x, int32_t y, int32_t notches = 1)
    {
        host->OnMouseWheel(x, y, MouseModifiers(), notches * WindowHost::kWheelDelta);
    }

    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            host->OnTimer();
    }

    void Click(int32_t x, int32_t y)
    {
        host->OnMouseDown(kMouseLeft, x, y, MouseModifiers());
        host->OnMouseUp(kMouseLeft, x, y, MouseModifiers());
    }

    // The first click of a double click, then the window's double-click
    // event and its release.
    void DoubleClick(int32_t x, int32_t y)
    {
        Click(x, y);
        host->OnMouseDoubleClick(x, y, MouseModifiers());
        host->OnMouseUp(kMouseLeft, x, y, MouseModifiers());
    }

    // Ticks of a resting wheel before its edit ends: 250 ms at 40 ms a tick.
    static constexpr int kRestTicks = 7;

    FakeWindowPlatform platform;
    std::unique_ptr<RecordingPlug> plug;
    WindowHost* host = nullptr;   // owned by the plug
    ProbeControl* gain = nullptr;
    ProbeControl* mix = nullptr;
    SwitchControl* sw = nullptr;
};

}   // namespace

TEST_F(EditGestureTest, AWheelBurstIsOneEditThatEndsWhenTheWheelRests)
{
    Notch(15, 15);
    Notch(15, 15, 2);
    Ticks(kRestTicks - 1);
    Notch(15, 15, -1);   // the rest starts again
    Ticks(kRestTicks - 1);
    EXPECT_EQ(plug->Trace(), "B0 P0 C0 P0 C0 P0 C0");
    EXPECT_EQ(plug->EditFault(true), "");
    host->OnTimer();
    EXPECT_EQ(plug->Trace(), "B0 P0 C0 P0 C0 P0 C0 E0");
    EXPECT_NEAR(plug->LastValue('P'), 0.5 + 0.02, 1e-12);
    Ticks(20);
    EXPECT_EQ(plug->events.size(), 8u);

    // The same once more: a new edit.
    plug->events.clear();
    Notch(15, 15);
    Ticks(kRestTicks);
    EXPECT_EQ(plug->Trace(), "B0 P0 C0 E0");
}

TEST_F(EditGestureTest, AnyOtherGestureEndsTheWheelsEditFirst)
{
    // The wheel moves on to another knob.
    Notch(15, 15);
    Notch(45, 15);
    EXPECT_EQ(plug->Trace(), "B0 P0 C0 E0 B3 P3 C3");
    // A press on the switch.
    plug->events.clear();
    Click(75, 15);
    EXPECT_EQ(plug->Trace(), "E3 B2 P2 C2 E2");
    // A double click on the knob being wheeled.
    plug->events.clear();
    Notch(15, 15);
    host->OnMouseDoubleClick(15, 15, MouseModifiers());
    EXPECT_EQ(plug->Trace(), "B0 P0 C0 E0 B0 P0 C0 E0");
    // The wheel over the background.
    plug->events.clear();
    Notch(45, 15);
    Notch(150, 80);
    EXPECT_EQ(plug->Trace(), "B3 P3 C3 E3");
    // The window closing.
    plug->events.clear();
    Notch(45, 15);
    host->DestroyEditorWindow();
    EXPECT_EQ(plug->Trace(), "B3 P3 C3 E3");
    Ticks(kRestTicks);
    EXPECT_EQ(plug->events.size(), 4u);
}

TEST_F(EditGestureTest, TheWheelInsideAPressBelongsToThePress)
{
    host->OnMouseDown(kMouseLeft, 15, 15, MouseModifiers());
    Notch(45, 15);   // the held knob takes it
    Ticks(kRestTicks * 2);
    EXPECT_EQ(plug->Trace(), "B0 P0 C0");
    host->OnMouseUp(kMouseLeft, 15, 15, MouseModifiers());
    EXPECT_EQ(plug->Trace(), "B0 P0 C0 E0");
}

TEST_F(EditGestureTest, ADoubleClickIsBeginPerformEndAndItsReleaseEndsNothingMore)
{
    host->OnMouseDown(kMouseLeft, 15, 15, MouseModifiers());
    host->OnMouseMove(15, 5, Left());   // no drag reaches the probe's value
    host->OnMouseUp(kMouseLeft, 15, 5, MouseModifiers());
    gain->SetValue(0.9);
    plug->events.clear();

    DoubleClick(15, 15);
    EXPECT_EQ(plug->Trace(), "B0 E0 B0 P0 C0 E0");
    EXPECT_EQ(plug->LastValue('P'), 0.5);   // the value the knob was first given

    // A switch takes the double click as a second click: two whole edits.
    plug->events.clear();
    DoubleClick(75, 15);
    EXPECT_EQ(plug->Trace(), "B2 P2 C2 E2 B2 P2 C2 E2");
}

TEST_F(EditGestureTest, ARightClickTheHostAnswersWithItsMenuEndsNoEdit)
{
    // The host's menu took the press; its release may or may not follow.
    host->OnMouseDown(kMouseRight, 15, 15, MouseModifiers());
    host->OnMouseUp(kMouseRight, 15, 15, MouseModifiers());
    host->OnMouseDown(kMouseRight, 45, 15, MouseModifiers());
    EXPECT_EQ(plug->Trace(), "M0 M3");
    // A left click after it is a whole edit of its own.
    Click(75, 15);
    EXPECT_EQ(plug->Trace(), "M0 M3 B2 P2 C2 E2");

    // A right click while the wheel's edit is open ends it first.
    plug->events.clear();
    Notch(15, 15);
    host->OnMouseDown(kMouseRight, 15, 15, MouseModifiers());
    host->OnMouseUp(kMouseRight, 15, 15, MouseModifiers());
    EXPECT_EQ(plug->Trace(), "B0 P0 C0 E0 M0");
}

TEST_F(EditGestureTest, EveryMixOfGesturesLeavesTheHostsEditsSound)
{
    // A fixed walk through every gesture, in an order no user would keep to.
    const struct {
        char what;
        int32_t x;
        int32_t y;
    } steps[] = {
        {'w', 15, 15}, {'d', 45, 15},  {'m', 45, 5},  {'w', 75, 15}, {'u', 45, 5},  {'t', 0, 0},
        {'w', 45, 15}, {'r', 15, 15},  {'u', 15, 15}, {'c', 15, 15}, {'w', 15, 15}, {'c', 75, 15},
        {'w', 15, 15}, {'M', 45, 15},  {'w', 45, 15}, {'t', 0, 0},   {'d', 15, 15}, {'d', 45, 15},
        {'u', 15, 15}, {'w', 150, 80}, {'c', 15, 15}, {'w', 15, 15},
    };
    for (const auto& s : steps) {
        switch (s.what) {
        case 'w': Notch(s.x, s.y); break;
        case 'd': host->OnMouseDown(kMouseLeft, s.x, s.y, MouseModifiers()); break;
        case 'm': host->OnMouseMove(s.x, s.y, Left()); break;
        case 'u': host->OnMouseUp(kMouseLeft, s.x, s.y, MouseModifiers()); break;
        case 'r': host->OnMouseDown(kMouseRight, s.x, s.y, MouseModifiers()); break;
        case 'M': host->OnMouseDown(kMouseMiddle, s.x, s.y, MouseModifiers()); break;
        case 'c': host->OnMouseDoubleClick(s.x, s.y, MouseModifiers()); break;
        case 't': Ticks(kRestTicks); break;
        }
        ASSERT_EQ(plug->EditFault(true), "") << "after '" << s.what << "'";
    }
    Ticks(kRestTicks);
    EXPECT_EQ(plug->EditFault(), "");
}

TEST(EditGestureRest, TheRestFollowsTheFrameRate)
{
    // At 10 frames a second the timer ticks every 100 ms: three ticks.
    RecordingPlug plug(1);
    FakeWindowPlatform platform;
    auto* host = new WindowHost(&plug, 100, 50, 10, &platform);
    platform.host = host;
    auto* knob = new ProbeControl(&plug, Bounds(0, 0, 20, 20), RecordingPlug::kGain);
    knob->wheelTurns = true;
    host->AddControl(knob);
    plug.AttachEditor(host);
    host->OnMouseWheel(5, 5, MouseModifiers(), WindowHost::kWheelDelta);
    host->OnTimer();
    host->OnTimer();
    EXPECT_EQ(plug.Trace(), "B0 P0 C0");
    host->OnTimer();
    EXPECT_EQ(plug.Trace(), "B0 P0 C0 E0");
}
