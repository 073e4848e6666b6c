#include "FakeWindowPlatform.h"
#include "ProbeControl.h"
#include "RecordingPlug.h"

#include "gui/PopupMenu.h"
#include "gui/VirtualKeyMap.h"
#include "gui/WindowHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

MouseModifiers Held(bool left, bool right = false)
{
    MouseModifiers m;
    m.left = left;
    m.right = right;
    return m;
}

// A window layer on the fake window system, its window open: a background,
// a gain knob, a switch, a pad that takes double clicks as presses, and an
// unbound control.
class WindowHostTest : public ::testing::Test {
protected:
    void SetUp() override { Build(1); }

    void Build(int32_t apiKind)
    {
        plug = std::make_unique<RecordingPlug>(apiKind);
        host = new WindowHost(plug.get(), 200, 100, 25, &platform);
        platform.host = host;
        bg = Add(Bounds(0, 0, 200, 100), -1);
        knob = Add(Bounds(10, 10, 30, 30), RecordingPlug::kGain);
        sw = Add(Bounds(40, 10, 60, 30), RecordingPlug::kSwitch);
        pad = Add(Bounds(70, 10, 90, 30), RecordingPlug::kMix);
        pad->SetDoubleClickActsAsClick(true);
        plain = Add(Bounds(100, 10, 120, 30), -1);
        plug->AttachEditor(host);
        ASSERT_EQ(host->CreateEditorWindow(reinterpret_cast<void*>(0x77)), platform.nextWindow);
        host->OnTimer();   // the first full paint
        platform.Take();
        plug->events.clear();
        for (ProbeControl* c : {bg, knob, sw, pad, plain})
            c->calls.clear();
    }

    ProbeControl* Add(const Bounds& r, int32_t param)
    {
        auto* c = new ProbeControl(plug.get(), r, param);
        c->SetPromptDisabled(false);
        host->AddControl(c);
        return c;
    }

    // Opens a value entry over the knob through its right-click prompt, as a
    // plug without a host menu does.
    void OpenEntryOn(ProbeControl* c, ParamRecord* param)
    {
        host->OpenTextEntry(c, c->GetTextStyle(), c->Rect(), "", param);
        ASSERT_TRUE(host->Entry().IsOpen());
        platform.Take();
    }

    void Commit(const std::string& typed)
    {
        platform.entryText = typed;
        EXPECT_TRUE(host->OnTextEntryKeyDown(VirtualKeyMap::kReturn));
        host->OnTimer();
    }

    FakeWindowPlatform platform;   // outlives the plug, which owns the host
    std::unique_ptr<RecordingPlug> plug;
    WindowHost* host = nullptr;
    ProbeControl* bg = nullptr;
    ProbeControl* knob = nullptr;
    ProbeControl* sw = nullptr;
    ProbeControl* pad = nullptr;
    ProbeControl* plain = nullptr;
};

}   // namespace

TEST_F(WindowHostTest, WindowOpensWithItsTimerAndReopensInPlace)
{
    EXPECT_TRUE(host->IsWindowOpen());
    EXPECT_EQ(host->TimerPeriodMs(), 40);
    EXPECT_STREQ(host->BackendName(), "Fake");

    // A window opened again while open takes the old one's place and shows
    // every control afresh.
    platform.placement = Bounds(5, 6, 205, 106);
    host->CreateEditorWindow(nullptr);
    EXPECT_EQ(platform.Take(), (Calls{"close", "open 5,6,205,106 40"}));
    Bounds dirty;
    ASSERT_TRUE(host->CollectDirty(dirty));
    EXPECT_EQ(dirty, Bounds(0, 0, 200, 100));

    host->DestroyEditorWindow();
    host->DestroyEditorWindow();
    EXPECT_EQ(platform.Take(), (Calls{"close"}));
    EXPECT_FALSE(host->IsWindowOpen());

    platform.nextWindow = nullptr;
    EXPECT_EQ(host->CreateEditorWindow(nullptr), nullptr);
    EXPECT_FALSE(host->IsWindowOpen());

    WindowHost fast(nullptr, 10, 10, 30, nullptr);
    EXPECT_EQ(fast.TimerPeriodMs(), 33);
}

TEST_F(WindowHostTest, TimerInvalidatesTheUnionOfDirtyControlsOnly)
{
    host->OnTimer();
    EXPECT_TRUE(platform.Take().empty());

    host->PushParamToControls(RecordingPlug::kGain, 0.25, true);
    host->PushParamToControls(RecordingPlug::kSwitch, 0.0, true);
    host->OnTimer();
    EXPECT_EQ(platform.Take(), (Calls{"invalidate 10,10,60,30", "update", "present 10,10,60,30"}));
    EXPECT_TRUE(knob->Called("draw"));
    EXPECT_FALSE(pad->Called("draw"));
    // The redraw request keeps a changed control for one more tick.
    host->OnTimer();
    platform.Take();
    host->OnTimer();
    EXPECT_TRUE(platform.Take().empty());
}

TEST_F(WindowHostTest, PressDragReleaseReachControlAndPlugInOrder)
{
    host->OnMouseDown(kMouseLeft, 15, 15, MouseModifiers());
    host->OnMouseMove(15, 15, Held(true));   // no movement, no drag
    host->OnMouseMove(14, 12, Held(true));
    host->OnMouseMove(14, 12, Held(true));
    host->OnMouseUp(kMouseLeft, 14, 12, Held(false));
    EXPECT_EQ(platform.Take(), (Calls{"focus", "capture", "release"}));
    EXPECT_EQ(knob->calls, (Calls{"down", "drag -1,-3", "up"}));
    EXPECT_EQ(plug->Trace(), "B0 E0");
    EXPECT_EQ(host->MouseCapture(), -1);

    // Moves with a button drag only while this window holds the mouse.
    host->OnMouseDown(kMouseLeft, 15, 15, MouseModifiers());
    platform.holdsMouse = false;
    host->OnMouseMove(15, 25, Held(true));
    EXPECT_EQ(knob->calls.back(), "down");

    // The next press ends the knob's edit, whose release never came. A
    // middle press, whose release the windows do not report, is an edit of
    // its own.
    plug->events.clear();
    host->OnMouseDown(kMouseMiddle, 45, 15, MouseModifiers());
    EXPECT_EQ(plug->Trace(), "E0 B2 E2");
    host->OnMouseUp(kMouseMiddle, 45, 15, MouseModifiers());
    EXPECT_EQ(plug->Trace(), "E0 B2 E2");
}

TEST_F(WindowHostTest, RightPressOnABoundControlAsksTheHostForItsMenu)
{
    // The event need not report the button it is about.
    host->OnMouseDown(kMouseRight, 12, 25, MouseModifiers());
    EXPECT_EQ(plug->Trace(), "M0");
    EXPECT_EQ(plug->LastValue('M'), 12 * 10000.0 + 25);
    EXPECT_TRUE(knob->calls.empty());
    EXPECT_EQ(host->MouseCapture(), -1);

    // Plugs of other APIs begin the edit and let the control prompt.
    Build(0);
    host->OnMouseDown(kMouseRight, 12, 25, MouseModifiers());
    EXPECT_EQ(plug->Trace(), "B0");
    EXPECT_TRUE(knob->Called("down"));
    EXPECT_TRUE(platform.Logged("entry 0,12,40,28 '0.00' 32 align 1"));
}

TEST_F(WindowHostTest, DoubleClickActsAsPressWhereTheControlWantsIt)
{
    host->OnMouseDoubleClick(75, 15, MouseModifiers());
    EXPECT_EQ(pad->calls, (Calls{"down"}));
    EXPECT_EQ(host->MouseCapture(), 3);
    EXPECT_EQ(platform.Take(), (Calls{"capture"}));
    EXPECT_EQ(plug->Trace(), "B3");   // an edit begins, as for a press

    host->OnMouseUp(kMouseLeft, 75, 15, MouseModifiers());
    EXPECT_EQ(plug->Trace(), "B3 E3");
    host->OnMouseDoubleClick(15, 15, MouseModifiers());
    EXPECT_EQ(knob->calls, (Calls{"double"}));
    EXPECT_EQ(host->MouseCapture(), -1);
    EXPECT_FALSE(platform.Logged("capture"));
}

TEST_F(WindowHostTest, WheelCountsWholeNotchesOnly)
{
    for (int32_t delta : {119, -119, 240, -360, 0})
        host->OnMouseWheel(15, 15, MouseModifiers(), delta);
    EXPECT_EQ(knob->calls, (Calls{"wheel 0", "wheel 0", "wheel 2", "wheel -3", "wheel 0"}));
    host->OnMouseDown(kMouseLeft, 45, 15, MouseModifiers());
    host->OnMouseWheel(15, 15, MouseModifiers(), 120);   // the held control wins
    EXPECT_TRUE(sw->Called("wheel 1"));
}

TEST_F(WindowHostTest, KeysNoControlTakesGoToTheHost)
{
    knob->takesKeys = true;
    platform.cursorX = 15;
    platform.cursorY = 15;
    EXPECT_TRUE(host->OnKeyDown('A'));
    EXPECT_FALSE(host->OnKeyDown(VirtualKeyMap::kF12));
    EXPECT_FALSE(host->OnKeyDown(VirtualKeyMap::kTab));
    EXPECT_EQ(knob->calls, (Calls{"key 15"}));

    platform.cursorX = 45;   // a control that does not take the key
    EXPECT_FALSE(host->OnKeyDown(VirtualKeyMap::kUp));
    EXPECT_TRUE(sw->Called("key 1"));
    platform.cursorX = 150;   // the background: the key catcher, or the host
    EXPECT_FALSE(host->OnKeyDown(VirtualKeyMap::kSpace));
    EXPECT_FALSE(bg->Called("key 0"));
    auto* catcher = new ProbeControl(nullptr, Bounds());
    catcher->takesKeys = true;
    host->SetKeyCatcher(catcher);
    EXPECT_TRUE(host->OnKeyDown(VirtualKeyMap::kSpace));
    EXPECT_TRUE(catcher->Called("key 0"));
}

TEST(VirtualKeyMap, MapsTheKeyTable)
{
    const std::vector<std::pair<int32_t, int32_t>> table = {
        {32, 0},   {38, 1},   {40, 2},   {37, 3},   {39, 4},   {'0', 5},
        {'9', 14}, {'A', 15}, {'Z', 40}, {'a', 15}, {'z', 40}, {VirtualKeyMap::kF1, 30},
    };
    for (const auto& [vk, code] : table)
        EXPECT_EQ(VirtualKeyMap::Map(vk), code) << vk;
    for (int32_t vk : {8, 9, 13, 27, 36, 47, 58, 64, 91, 96, 123, 188, -1, 300})
        EXPECT_EQ(VirtualKeyMap::Map(vk), kKeyNone) << vk;
}

TEST_F(WindowHostTest, CommittedTextSetsTheParameterThroughTheControl)
{
    OpenEntryOn(knob, plug->ParamAt(RecordingPlug::kGain));
    host->OpenTextEntry(sw, sw->GetTextStyle(), sw->Rect(), "", nullptr);   // one at a time
    EXPECT_EQ(host->Entry().EditedControl(), knob);
    EXPECT_EQ(host->Entry().State(), TextEntryState::Idle);
    EXPECT_FALSE(host->TextEntryWantsReturnKey());
    EXPECT_FALSE(host->OnTextEntryKeyDown('A'));

    Commit("12");
    // The commit takes its tick: applied and closed, nothing drawn.
    EXPECT_EQ(platform.Take(), (Calls{"entry destroy"}));
    EXPECT_FALSE(host->Entry().IsOpen());
    EXPECT_EQ(host->Entry().State(), TextEntryState::Idle);
    EXPECT_EQ(plug->Trace(), "B0 P0 C0 E0");
    EXPECT_DOUBLE_EQ(plug->ParamAt(RecordingPlug::kGain)->Value(), 12.0);
    host->OnTimer();
    EXPECT_TRUE(platform.Logged("invalidate 10,10,30,30"));

    // Out of range: the nearest bound.
    OpenEntryOn(knob, plug->ParamAt(RecordingPlug::kGain));
    Commit("99");
    EXPECT_DOUBLE_EQ(plug->ParamAt(RecordingPlug::kGain)->Value(), 18.0);
    OpenEntryOn(knob, plug->ParamAt(RecordingPlug::kGain));
    Commit("-99");
    EXPECT_DOUBLE_EQ(plug->ParamAt(RecordingPlug::kGain)->Value(), -18.0);
}

TEST_F(WindowHostTest, EntryEndsByEscapeFocusLossOrAClickInTheEditor)
{
    ParamRecord* gain = plug->ParamAt(RecordingPlug::kGain);
    OpenEntryOn(knob, gain);
    platform.entryText = "5";
    EXPECT_TRUE(host->OnTextEntryKeyDown(VirtualKeyMap::kEscape));
    host->OnTimer();
    EXPECT_EQ(platform.Take(), (Calls{"entry destroy"}));
    EXPECT_TRUE(plug->events.empty());

    OpenEntryOn(knob, gain);
    host->OnTextEntryFocus(false);
    platform.entryText = "5";
    host->OnTimer();
    EXPECT_DOUBLE_EQ(gain->Value(), 5.0);

    // A press in the editor commits and goes no further.
    OpenEntryOn(knob, gain);
    platform.entryText = "-4.5";
    host->OnMouseDown(kMouseLeft, 45, 15, MouseModifiers());
    EXPECT_TRUE(sw->calls.empty());
    EXPECT_EQ(host->Entry().State(), TextEntryState::Commit);
    host->OnTimer();
    EXPECT_DOUBLE_EQ(gain->Value(), -4.5);

    // The wheel and CancelTextEntry cancel.
    OpenEntryOn(knob, gain);
    host->OnMouseWheel(15, 15, MouseModifiers(), 120);
    EXPECT_EQ(host->Entry().State(), TextEntryState::Cancel);
    EXPECT_TRUE(knob->calls.empty());
    host->OnTimer();
    // A cancel without an open box is not kept for the next one.
    host->CancelTextEntry();
    OpenEntryOn(knob, gain);
    EXPECT_EQ(host->Entry().State(), TextEntryState::Idle);
    host->CancelTextEntry();
    EXPECT_EQ(host->Entry().State(), TextEntryState::Cancel);
}

TEST_F(WindowHostTest, WhileTheBoxHasTheFocusTheWindowTakesNoInput)
{
    OpenEntryOn(knob, plug->ParamAt(RecordingPlug::kGain));
    host->OnTextEntryFocus(true);
    EXPECT_EQ(host->Entry().State(), TextEntryState::Editing);
    host->PushParamToControls(RecordingPlug::kSwitch, 0.0, true);
    host->OnTimer();
    host->OnPaint(Bounds(0, 0, 200, 100));
    host->OnMouseMove(15, 15, Held(true));
    host->OnMouseWheel(15, 15, MouseModifiers(), 120);
    EXPECT_TRUE(host->OnKeyDown('A'));   // the box's, not the host's
    host->OnMouseDown(kMouseMiddle, 45, 15, MouseModifiers());
    EXPECT_TRUE(platform.Take().empty());
    EXPECT_TRUE(knob->calls.empty());
    EXPECT_TRUE(sw->calls.empty());
    EXPECT_EQ(host->Entry().State(), TextEntryState::Editing);

    host->OnMouseDown(kMouseRight, 45, 15, MouseModifiers());
    EXPECT_EQ(host->Entry().State(), TextEntryState::Cancel);
    EXPECT_TRUE(sw->calls.empty());
}

TEST_F(WindowHostTest, RedrawWithTheBoxOpenSparesItAndSkipsOneTick)
{
    OpenEntryOn(knob, plug->ParamAt(RecordingPlug::kGain));
    host->PushParamToControls(RecordingPlug::kGain, 0.1, true);
    host->PushParamToControls(RecordingPlug::kSwitch, 0.0, true);
    host->OnTimer();
    EXPECT_EQ(platform.Take(),
              (Calls{"invalidate 10,10,60,30", "validate 10,10,30,30", "update", "present 10,10,60,30"}));
    EXPECT_EQ(host->Entry().State(), TextEntryState::Refreshed);
    host->OnTimer();
    EXPECT_TRUE(platform.Take().empty());
    EXPECT_EQ(host->Entry().State(), TextEntryState::Idle);
}

TEST_F(WindowHostTest, ChoiceAndRawTextCommits)
{
    ParamRecord* mode = plug->ParamAt(RecordingPlug::kMode);
    mode->AddDisplayText(0, "Soft");
    mode->AddDisplayText(1, "Hard");
    mode->AddDisplayText(2, "Brick");
    for (const auto& [typed, value] :
         std::vector<std::pair<std::string, double>>{{"Brick", 2.0}, {"Hard", 1.0}, {"brick", 0.0}, {"2", 0.0}}) {
        mode->SetValue(1.0);
        OpenEntryOn(plain, mode);
        Commit(typed);
        EXPECT_EQ(plain->Value(), mode->NormalizedOf(value)) << typed;
    }

    // No parameter: the raw text, at most 31 characters, goes to the control.
    OpenEntryOn(plain, nullptr);
    EXPECT_TRUE(host->TextEntryWantsReturnKey());
    EXPECT_TRUE(host->OnTextEntryCharacter('x'));
    Commit(std::string(40, 'w'));
    ASSERT_EQ(plain->texts.size(), 1u);
    EXPECT_EQ(plain->texts[0], std::string(31, 'w'));
}

TEST_F(WindowHostTest, DestroyingTheWindowClosesTheBoxFirst)
{
    OpenEntryOn(knob, plug->ParamAt(RecordingPlug::kGain));
    host->DestroyEditorWindow();
    EXPECT_EQ(platform.Take(), (Calls{"entry destroy", "close"}));
    EXPECT_FALSE(host->Entry().IsOpen());
}

TEST_F(WindowHostTest, MenusShowBelowTheAreaAndReturnTheChosenMenu)
{
    ParamRecord* mode = plug->ParamAt(RecordingPlug::kMode);
    mode->AddDisplayText(0, "Soft");
    mode->AddDisplayText(1, "Hard");
    mode->AddDisplayText(2, "Brick");
    auto* chooser = Add(Bounds(130, 40, 170, 60), RecordingPlug::kMode);
    host->OnMouseDown(kMouseLeft, 150, 50, MouseModifiers());
    platform.Take();
    plug->events.clear();

    platform.menuChoice = 2;
    chooser->PromptForValue();
    EXPECT_EQ(host->MouseCapture(), -1);
    EXPECT_EQ(platform.Take(), (Calls{"menu 130,60", "invalidate 0,0,200,100"}));
    EXPECT_EQ(platform.lastMenuLabels, (std::vector<Calls>{{"Soft", "Hard", "Brick"}}));
    EXPECT_EQ(platform.lastMenuFlags[0], (std::vector<int32_t>{0, kMenuItemChecked, 0}));
    EXPECT_EQ(mode->Value(), 2.0);
    EXPECT_EQ(plug->Trace(), "P4 C4");

    // Dismissed: nothing changes, but what the menu covered is drawn again.
    platform.menuChoice = -1;
    plug->events.clear();
    chooser->PromptForValue();
    EXPECT_EQ(platform.Take(), (Calls{"menu 130,60", "invalidate 0,0,200,100"}));
    EXPECT_TRUE(plug->events.empty());

    // A chosen submenu item comes back as that submenu and its index.
    PopupMenu top(PopupMenu::kPrefix2);
    top.AddItem("One");
    PopupMenu* sub = top.AddSubmenu("Two", std::make_unique<PopupMenu>());
    top.AddItem("Three");
    sub->AddItem("a");
    sub->AddItem("b");
    platform.menuChoice = 4;
    EXPECT_EQ(host->TrackMenu(top, Bounds(1, 2, 3, 4)), sub);
    EXPECT_EQ(sub->ChosenIndex(), 1);
    EXPECT_EQ(top.ChosenIndex(), -1);
    EXPECT_EQ(platform.lastMenuIds, (std::vector<std::vector<int32_t>>{{0, 1, 2}, {3, 4}}));
    EXPECT_EQ(platform.lastMenuLabels[0], (Calls{"01: One", "02: Two", "03: Three"}));
    platform.menuChoice = 5;
    EXPECT_EQ(host->TrackMenu(top, Bounds(1, 2, 3, 4)), nullptr);
}

TEST_F(WindowHostTest, ResizingGrowsTheWindowAndOnlyNonVst3HostWindows)
{
    host->SetEditorSize(200, 100);
    EXPECT_TRUE(platform.Take().empty());
    EXPECT_TRUE(plug->events.empty());

    // The box goes with the controls it belonged to.
    OpenEntryOn(knob, plug->ParamAt(RecordingPlug::kGain));
    host->SetEditorSize(300, 150);
    EXPECT_EQ(platform.Take(), (Calls{"entry destroy", "resize 100,50", "invalidate 0,0,300,150"}));
    EXPECT_EQ(plug->Trace(), "R300");
    EXPECT_EQ(host->ControlCount(), 0);

    Build(0);
    host->SetEditorSize(250, 90);
    EXPECT_EQ(platform.Take(), (Calls{"resize 50,-10 parents", "invalidate 0,0,250,90"}));
}

TEST_F(WindowHostTest, CursorHidesOnceAndReturnsWhereItWas)
{
    platform.cursorX = 15;
    platform.cursorY = 20;
    host->HideCursorForDrag();
    host->HideCursorForDrag();
    platform.cursorX = 90;
    host->RestoreCursorAfterDrag();
    host->RestoreCursorAfterDrag();
    EXPECT_EQ(platform.Take(), (Calls{"cursor hide", "cursor at 1015,520", "cursor show"}));
}

TEST_F(WindowHostTest, TooltipsFollowTheMouseWhenEnabled)
{
    host->SetHandleMouseOver(true);
    host->OnMouseMove(15, 15, MouseModifiers());
    EXPECT_EQ(platform.Take(), (Calls{"track"}));

    host->SetTooltipsEnabled(true);
    host->CreateEditorWindow(nullptr);
    EXPECT_TRUE(platform.Logged("tooltips"));
    platform.Take();
    knob->SetTooltip("Gain");
    host->OnMouseMove(15, 15, MouseModifiers());
    host->OnMouseMove(16, 15, MouseModifiers());
    EXPECT_EQ(platform.Take(), (Calls{"track hover", "track"}));
    EXPECT_EQ(host->TooltipIndex(), 1);
    host->OnMouseHover();
    EXPECT_TRUE(host->TooltipShowing());
    host->OnMouseLeave();
    EXPECT_EQ(platform.Take(), (Calls{"tooltip 'Gain'", "tooltip hide"}));
    EXPECT_EQ(host->MouseOverIndex(), -1);
    EXPECT_EQ(knob->calls.back(), "out");

    platform.tooltipsCreate = false;
    host->CreateEditorWindow(nullptr);
    EXPECT_FALSE(host->TooltipsEnabled());
}

TEST(HeadlessEditor, DrawsOnItsTimerAndTakesInputWithoutAWindow)
{
    RecordingPlug plug;
    auto* host = new WindowHost(&plug, 200, 100, 25, nullptr);
    auto* knob = new ProbeControl(&plug, Bounds(10, 10, 30, 30), RecordingPlug::kGain);
    host->AddControl(knob);
    plug.AttachEditor(host);
    EXPECT_EQ(host->CreateEditorWindow(reinterpret_cast<void*>(0x77)), nullptr);
    EXPECT_STREQ(host->BackendName(), "");

    host->OnTimer();
    EXPECT_TRUE(knob->Called("draw"));
    EXPECT_FALSE(knob->NeedsRedraw());
    PopupMenu menu;
    menu.AddItem("x");
    EXPECT_EQ(host->TrackMenu(menu, Bounds()), nullptr);
    host->OpenTextEntry(knob, knob->GetTextStyle(), knob->Rect(), "1", nullptr);
    EXPECT_FALSE(host->Entry().IsOpen());
    host->OnMouseDown(kMouseLeft, 15, 15, MouseModifiers());
    host->OnMouseMove(15, 10, Held(true));
    host->OnMouseUp(kMouseLeft, 15, 10, MouseModifiers());
    EXPECT_EQ(plug.Trace(), "B0 E0");
    EXPECT_TRUE(knob->Called("drag 0,-5"));
}
