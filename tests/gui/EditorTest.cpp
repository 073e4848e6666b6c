#include "ProbeControl.h"
#include "RecordingPlug.h"
#include "TestEditor.h"

#include "gui/BitmapCache.h"
#include "gui/BitmapControl.h"
#include "gui/StripKnobControl.h"
#include "gui/SwitchControl.h"
#include "pix/PIX_Composite.h"
#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_Mode.h"
#include "pix/PIX_SysBitmap.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace {

constexpr PIX_Pixel32 kUntouched = 0x12345678u;

MouseModifiers Left()
{
    MouseModifiers m;
    m.left = true;
    return m;
}

MouseModifiers Right()
{
    MouseModifiers m;
    m.right = true;
    return m;
}

}   // namespace

TEST(Editor, BackgroundGoesFirstAndControlsAppend)
{
    TestEditor editor(nullptr);
    const BitmapStrip knob = editor.NewStrip(20, 20, 5);
    EXPECT_EQ(editor.AddControl(new StripKnobControl(nullptr, 10, 10, -1, knob, kKnobVertical, 4.0)), 0);
    const int32_t bg = TestEditor::DefineImage(200, 100, 1);
    editor.AddBackground(bg, "bg.png");
    ASSERT_EQ(editor.ControlCount(), 2);
    auto* background = dynamic_cast<BitmapControl*>(editor.GetControl(0));
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->Rect(), Bounds(0, 0, 200, 100));
    EXPECT_EQ(background->ParamIdx(), -1);
    EXPECT_EQ(background->Blend().method, kBlendCopy);
    EXPECT_EQ(background->GetEditor(), &editor);
    EXPECT_EQ(editor.AddControl(new ProbeControl(nullptr, Bounds(1, 1, 2, 2))), 2);
    EXPECT_EQ(editor.AddControl(nullptr), -1);
    EXPECT_EQ(editor.GetControl(3), nullptr);
    EXPECT_EQ(editor.GetControl(-1), nullptr);
}

TEST(Editor, PushReachesEveryBoundControlAndAuxLink)
{
    RecordingPlug plug;
    TestEditor editor(&plug);
    auto* a = new ProbeControl(&plug, Bounds(0, 0, 10, 10), RecordingPlug::kGain);
    auto* b = new ProbeControl(&plug, Bounds(10, 0, 20, 10), RecordingPlug::kGain);
    auto* other = new ProbeControl(&plug, Bounds(20, 0, 30, 10), RecordingPlug::kMix);
    auto* aux = new ProbeControl(&plug, Bounds(30, 0, 40, 10), RecordingPlug::kMix);
    aux->AddAuxParam(RecordingPlug::kRelease);
    aux->AddAuxParam(RecordingPlug::kGain);
    aux->AddAuxParam(RecordingPlug::kGain);   // only the first matching link is told
    for (ProbeControl* c : {a, b, other, aux})
        editor.AddControl(c);

    // Plain values are normalised through the parameter: -18..18.
    editor.PushParamToControls(RecordingPlug::kGain, -18.0, false);
    EXPECT_EQ(a->Value(), 0.0);
    EXPECT_EQ(b->Value(), 0.0);
    editor.PushParamToControls(RecordingPlug::kGain, 18.0, false);
    EXPECT_EQ(a->Value(), 1.0);
    EXPECT_EQ(b->Value(), 1.0);
    EXPECT_EQ(other->Value(), 0.0);
    EXPECT_EQ(aux->Value(), 0.0);
    EXPECT_EQ(aux->AuxParamAt(1)->value.load(), 1.0);
    EXPECT_EQ(aux->AuxParamAt(2)->value.load(), 0.0);
    EXPECT_TRUE(aux->Called("aux 1/3"));
    EXPECT_FALSE(aux->Called("aux 2/3"));

    editor.PushParamToControls(RecordingPlug::kMix, 0.25, true);
    EXPECT_EQ(other->Value(), 0.25);
    EXPECT_EQ(aux->Value(), 0.25);
    EXPECT_EQ(a->Value(), 1.0);

    // Pushing is not editing: the plug hears nothing.
    EXPECT_TRUE(plug.events.empty());
    // No such parameter: nothing to normalise with, nothing happens.
    editor.PushParamToControls(17, 3.0, false);
}

TEST(Editor, ARunOfControlValuesReachesOnlyItsControl)
{
    RecordingPlug plug;
    TestEditor editor(&plug);
    auto* a = new ProbeControl(&plug, Bounds(0, 0, 10, 10));
    auto* b = new ProbeControl(&plug, Bounds(10, 0, 20, 10));
    const int32_t ia = editor.AddControl(a);
    const int32_t ib = editor.AddControl(b);
    const double values[] = {0.25, 0.5, 0.75};

    editor.ReceiveControlValues(ib, values, 3);
    EXPECT_EQ(b->Value(), 0.75);
    EXPECT_EQ(b->DefaultValue(), 0.25);
    EXPECT_EQ(a->Value(), 0.0);
    EXPECT_EQ(a->DefaultValue(), -1.0);

    // Outside the list, no values or no count: nothing is touched.
    editor.ReceiveControlValues(-1, values, 3);
    editor.ReceiveControlValues(ib + 1, values, 3);
    editor.ReceiveControlValues(ia, nullptr, 3);
    editor.ReceiveControlValues(ia, values, 0);
    editor.ReceiveControlValues(ia, values, -2);
    EXPECT_EQ(a->DefaultValue(), -1.0);
    EXPECT_EQ(b->Value(), 0.75);
    EXPECT_TRUE(plug.events.empty());
}

TEST(Editor, HitTestingPrefersLaterControls)
{
    TestEditor editor(nullptr);
    auto* bottom = new ProbeControl(nullptr, Bounds(0, 0, 100, 100));
    auto* middle = new ProbeControl(nullptr, Bounds(10, 10, 50, 50));
    auto* top = new ProbeControl(nullptr, Bounds(30, 30, 60, 60));
    editor.AddControl(bottom);
    editor.AddControl(middle);
    editor.AddControl(top);

    EXPECT_EQ(editor.ControlAt(40, 40, false), 2);
    EXPECT_EQ(editor.ControlAt(20, 20, false), 1);
    EXPECT_EQ(editor.ControlAt(5, 5, false), 0);
    EXPECT_EQ(editor.ControlAt(150, 5, false), -1);

    top->SetHidden(true);
    EXPECT_EQ(editor.ControlAt(40, 40, false), 1);
    middle->SetGrayed(true);
    EXPECT_EQ(editor.ControlAt(40, 40, false), 0);
    // Mouse-over reaches a greyed control only when it asks for it.
    EXPECT_EQ(editor.ControlAt(40, 40, true), 0);
    middle->SetMouseOverWhenGrayed(true);
    EXPECT_EQ(editor.ControlAt(40, 40, true), 1);
    EXPECT_EQ(editor.ControlAt(40, 40, false), 0);

    // While a control holds the mouse it is found everywhere.
    editor.HandleMouseDown(5, 5, Left());
    EXPECT_EQ(editor.MouseCapture(), 0);
    EXPECT_EQ(editor.ControlAt(500, 500, false), 0);
}

TEST(Editor, MouseUpGoesToTheCapturedControlAndEndsItsEdit)
{
    RecordingPlug plug;
    TestEditor editor(&plug);
    auto* bg = new ProbeControl(&plug, Bounds(0, 0, 200, 100), -1);
    auto* gain = new ProbeControl(&plug, Bounds(10, 10, 30, 30), RecordingPlug::kGain);
    auto* mix = new ProbeControl(&plug, Bounds(50, 10, 70, 30), RecordingPlug::kMix);
    editor.AddControl(bg);
    editor.AddControl(gain);
    editor.AddControl(mix);

    editor.HandleMouseDown(15, 15, Left());
    EXPECT_EQ(editor.MouseCapture(), 1);
    EXPECT_EQ(editor.LastMouseX(), 15);
    EXPECT_EQ(editor.LastMouseY(), 15);
    editor.HandleMouseDrag(55, 12, Left());
    EXPECT_TRUE(gain->Called("drag 40,-3"));
    editor.HandleMouseDrag(55, 12, Left());   // no movement, no drag
    EXPECT_EQ(gain->calls.size(), 2u);
    editor.HandleMouseUp(55, 12, Left());   // over the other knob
    EXPECT_TRUE(gain->Called("up"));
    EXPECT_FALSE(mix->Called("up"));
    EXPECT_EQ(plug.Trace(), "B0 E0");
    EXPECT_EQ(editor.MouseCapture(), -1);
    EXPECT_EQ(editor.LastMouseX(), -1);
    EXPECT_EQ(editor.LastMouseY(), -1);

    // Without a capture, the control under the mouse gets it, but a release
    // whose press began no edit ends none.
    plug.events.clear();
    editor.HandleMouseUp(60, 20, Left());
    EXPECT_TRUE(mix->Called("up"));
    EXPECT_TRUE(plug.events.empty());

    // The background has no parameter: its mouse-up ends no edit.
    plug.events.clear();
    editor.HandleMouseUp(150, 80, Left());
    EXPECT_TRUE(bg->Called("up"));
    EXPECT_TRUE(plug.events.empty());
}

TEST(Editor, MouseUpOverNothingResetsTheCapture)
{
    RecordingPlug plug;
    TestEditor editor(&plug);
    editor.AddControl(new ProbeControl(&plug, Bounds(10, 10, 30, 30), RecordingPlug::kGain));
    editor.HandleMouseDrag(20, 20, Left());   // nothing captured: ignored
    editor.HandleMouseUp(100, 80, Left());
    EXPECT_TRUE(plug.events.empty());
    EXPECT_EQ(editor.MouseCapture(), -1);
    EXPECT_EQ(editor.LastMouseX(), -1);
    EXPECT_EQ(editor.LastMouseY(), -1);
}

TEST(Editor, MouseUpHandlerMayRebuildTheList)
{
    RecordingPlug plug;
    TestEditor editor(&plug);
    auto* knob = new ProbeControl(&plug, Bounds(10, 10, 30, 30), RecordingPlug::kGain);
    editor.AddControl(knob);
    // The handler replaces the whole list; the edit that ends is the one
    // the press began, whatever control now lies there.
    const std::function<void()> rebuild = [&editor, &plug] {
        editor.SetEditorSize(300, 150);
        editor.AddControl(new ProbeControl(&plug, Bounds(10, 10, 30, 30), RecordingPlug::kMix));
    };
    knob->onMouseUp = &rebuild;
    editor.HandleMouseDown(15, 15, Left());
    editor.HandleMouseUp(15, 15, Left());
    EXPECT_EQ(plug.Trace(), "B0 R300 E0");

    // A release without a press: no edit to end.
    plug.events.clear();
    const std::function<void()> clear = [&editor] { editor.SetEditorSize(200, 100); };
    auto* last = static_cast<ProbeControl*>(editor.GetControl(0));
    last->onMouseUp = &clear;
    editor.HandleMouseUp(15, 15, Left());
    EXPECT_EQ(plug.Trace(), "R200");
    EXPECT_EQ(editor.ControlCount(), 0);
}

TEST(Editor, RightClickOpensTheHostMenuForVst3Plugs)
{
    RecordingPlug plug(1);
    TestEditor editor(&plug);
    auto* knob = new ProbeControl(&plug, Bounds(10, 10, 30, 30), RecordingPlug::kGain);
    auto* bg = new ProbeControl(&plug, Bounds(40, 10, 60, 30), -1);
    editor.AddControl(knob);
    editor.AddControl(bg);
    editor.HandleMouseDown(12, 25, Right());
    EXPECT_EQ(plug.Trace(), "M0");
    EXPECT_EQ(plug.LastValue('M'), 12 * 10000.0 + 25);
    EXPECT_TRUE(knob->calls.empty());
    EXPECT_EQ(editor.MouseCapture(), -1);

    // A control without a parameter gets the right click itself.
    plug.events.clear();
    editor.HandleMouseDown(45, 15, Right());
    EXPECT_TRUE(bg->Called("down"));
    EXPECT_TRUE(plug.events.empty());

    // Other plug APIs: the edit begins and the control decides.
    RecordingPlug other(0);
    TestEditor otherEditor(&other);
    auto* otherKnob = new ProbeControl(&other, Bounds(10, 10, 30, 30), RecordingPlug::kGain);
    otherEditor.AddControl(otherKnob);
    otherEditor.HandleMouseDown(12, 25, Right());
    EXPECT_EQ(other.Trace(), "B0");
    EXPECT_TRUE(otherKnob->Called("down"));
}

TEST(Editor, DoubleClickRouting)
{
    RecordingPlug plug;
    TestEditor editor(&plug);
    auto* knob = new ProbeControl(&plug, Bounds(10, 10, 30, 30), RecordingPlug::kGain);
    auto* pad = new ProbeControl(&plug, Bounds(40, 10, 60, 30), RecordingPlug::kMix);
    pad->SetDoubleClickActsAsClick(true);
    editor.AddControl(knob);
    editor.AddControl(pad);
    editor.PushParamToControls(RecordingPlug::kGain, 0.5, true);
    knob->SetValue(0.9);

    EXPECT_FALSE(editor.HandleMouseDoubleClick(15, 15, Left()));
    EXPECT_TRUE(knob->Called("double"));
    EXPECT_EQ(knob->Value(), 0.5);
    EXPECT_EQ(editor.MouseCapture(), -1);
    // A whole edit of its own; the release after it ends nothing more.
    EXPECT_EQ(plug.Trace(), "B0 P0 C0 E0");
    editor.HandleMouseUp(15, 15, Left());
    EXPECT_EQ(plug.Trace(), "B0 P0 C0 E0");

    // Taken as a press: the mouse is held and the edit lasts until the
    // release.
    plug.events.clear();
    EXPECT_TRUE(editor.HandleMouseDoubleClick(45, 15, Left()));
    EXPECT_TRUE(pad->Called("down"));
    EXPECT_FALSE(pad->Called("double"));
    EXPECT_EQ(editor.MouseCapture(), 1);
    EXPECT_EQ(editor.LastMouseX(), 45);
    EXPECT_EQ(plug.Trace(), "B3");
    editor.HandleMouseUp(45, 15, Left());
    EXPECT_EQ(plug.Trace(), "B3 E3");

    editor.ReleaseMouseCapture();
    EXPECT_FALSE(editor.HandleMouseDoubleClick(150, 80, Left()));
}

TEST(Editor, WheelGoesToTheControlUnderTheMouse)
{
    TestEditor editor(nullptr);
    auto* a = new ProbeControl(nullptr, Bounds(10, 10, 30, 30));
    auto* b = new ProbeControl(nullptr, Bounds(40, 10, 60, 30));
    editor.AddControl(a);
    editor.AddControl(b);
    EXPECT_TRUE(editor.HandleMouseWheel(45, 15, Left(), -2));
    EXPECT_TRUE(b->Called("wheel -2"));
    EXPECT_FALSE(editor.HandleMouseWheel(100, 90, Left(), 1));
    editor.HandleMouseDown(15, 15, Left());
    EXPECT_TRUE(editor.HandleMouseWheel(45, 15, Left(), 3));   // held control wins
    EXPECT_TRUE(a->Called("wheel 3"));
}

TEST(Editor, MouseOverIsOffUnlessEnabled)
{
    TestEditor editor(nullptr);
    auto* a = new ProbeControl(nullptr, Bounds(10, 10, 30, 30));
    auto* b = new ProbeControl(nullptr, Bounds(40, 10, 60, 30));
    editor.AddControl(a);
    editor.AddControl(b);
    EXPECT_FALSE(editor.HandleMouseOver(15, 15, MouseModifiers()));
    EXPECT_TRUE(a->calls.empty());

    editor.SetHandleMouseOver(true);
    EXPECT_TRUE(editor.HandleMouseOver(15, 15, MouseModifiers()));
    EXPECT_EQ(editor.MouseOverIndex(), 0);
    EXPECT_EQ(editor.LastMouseX(), 15);
    EXPECT_TRUE(editor.HandleMouseOver(45, 12, MouseModifiers()));
    EXPECT_EQ(editor.MouseOverIndex(), 1);
    EXPECT_EQ(a->calls, (std::vector<std::string>{"over", "out"}));
    EXPECT_EQ(b->calls, (std::vector<std::string>{"over"}));
    // Over empty space nothing changes.
    EXPECT_TRUE(editor.HandleMouseOver(100, 80, MouseModifiers()));
    EXPECT_EQ(editor.MouseOverIndex(), 1);

    editor.HandleMouseOut();
    EXPECT_EQ(editor.MouseOverIndex(), -1);
    EXPECT_EQ(a->calls.back(), "out");
    EXPECT_EQ(b->calls.back(), "out");
}

TEST(Editor, KeysGoToTheControlUnderTheMouseElseTheKeyCatcher)
{
    TestEditor editor(nullptr);
    auto* bg = new ProbeControl(nullptr, Bounds(0, 0, 200, 100));
    auto* knob = new ProbeControl(nullptr, Bounds(10, 10, 30, 30));
    bg->takesKeys = true;
    knob->takesKeys = true;
    editor.AddControl(bg);
    editor.AddControl(knob);
    EXPECT_TRUE(editor.HandleKeyDown(15, 15, kKeyUp));
    EXPECT_TRUE(knob->Called("key 1"));
    // The background never gets keys; without a catcher nobody does.
    EXPECT_FALSE(editor.HandleKeyDown(100, 50, kKeySpace));
    EXPECT_TRUE(bg->calls.empty());
    auto* catcher = new ProbeControl(nullptr, Bounds());
    catcher->takesKeys = true;
    editor.SetKeyCatcher(catcher);
    EXPECT_TRUE(editor.HandleKeyDown(100, 50, kKeyLetterA));
    EXPECT_TRUE(catcher->Called("key 15"));
}

TEST(Editor, EnumerationMenuChecksTheCurrentItemAndAppliesTheChoice)
{
    RecordingPlug plug;
    ParamRecord* mode = plug.ParamAt(RecordingPlug::kMode);
    ASSERT_EQ(mode->Kind(), kParamEnumeration);
    mode->AddDisplayText(0, "Soft");
    mode->AddDisplayText(1, "Medium");
    mode->AddDisplayText(2, "Hard");
    TestEditor editor(&plug);
    auto* c = new ProbeControl(&plug, Bounds(10, 10, 40, 30), RecordingPlug::kMode);
    editor.AddControl(c);
    c->SetPromptDisabled(false);

    editor.menuChoice = 2;
    c->PromptForValue();
    ASSERT_EQ(editor.menuCalls, 1);
    EXPECT_EQ(editor.lastMenu.texts, (std::vector<std::string>{"Soft", "Medium", "Hard"}));
    EXPECT_EQ(editor.lastMenu.flags, (std::vector<int32_t>{0, kMenuItemChecked, 0}));
    EXPECT_EQ(editor.lastMenu.prefixMode, 0);
    EXPECT_EQ(editor.lastMenu.chosenIndex, -1);
    EXPECT_EQ(editor.lastMenu.area, c->Rect());   // display texts: the control's own rect
    EXPECT_EQ(c->Value(), mode->NormalizedOf(2.0));
    EXPECT_EQ(mode->Value(), 2.0);
    EXPECT_EQ(plug.Trace(), "B4 P4 C4 E4");
    EXPECT_EQ(editor.entryCalls, 0);

    // A dismissed menu changes nothing.
    plug.events.clear();
    editor.menuChoice = -1;
    c->PromptForValue();
    EXPECT_EQ(editor.lastMenu.flags, (std::vector<int32_t>{0, 0, kMenuItemChecked}));
    EXPECT_EQ(mode->Value(), 2.0);
    EXPECT_TRUE(plug.events.empty());
}

TEST(Editor, TextEntryForNumericParameters)
{
    // Integer and continuous parameters are typed, never chosen from a menu.
    RecordingPlug plug;
    ParamRecord* release = plug.ParamAt(RecordingPlug::kRelease);
    release->AddDisplayText(3, "Auto");
    release->SetValue(3.0);
    TestEditor editor(&plug);
    auto* c = new ProbeControl(&plug, Bounds(10, 10, 40, 30), RecordingPlug::kRelease);
    editor.AddControl(c);
    editor.PromptControlValue(c, release, Bounds(1, 2, 3, 4));
    EXPECT_EQ(editor.menuCalls, 0);
    ASSERT_EQ(editor.entryCalls, 1);
    EXPECT_EQ(editor.lastEntry.text, "3");   // numeric even though 3 has a display text
    EXPECT_EQ(editor.lastEntry.area, Bounds(1, 2, 3, 4));
    EXPECT_EQ(editor.lastEntry.alignment, kAlignCenter);

    ParamRecord* gain = plug.ParamAt(RecordingPlug::kGain);
    gain->SetNegateDisplay(true);
    gain->SetValue(4.256);
    editor.PromptControlValue(c, gain, Bounds(1, 2, 3, 4));
    EXPECT_EQ(editor.lastEntry.text, "-4.26");

    editor.PromptControlValue(nullptr, gain, Bounds());
    editor.PromptControlValue(c, nullptr, Bounds());
    EXPECT_EQ(editor.entryCalls, 2);
}

TEST(Editor, RenderDrawsOnlyInsideTheRectangle)
{
    TestEditor editor(nullptr, 100, 60);
    const int32_t bgId = TestEditor::DefineImage(100, 60, 1);
    editor.AddBackground(bgId, "bg.png");
    int32_t knobId = 0;
    const BitmapStrip strip = editor.NewStrip(20, 20, 5, &knobId);
    auto* knob = new StripKnobControl(nullptr, 10, 10, -1, strip, kKnobVertical, 4.0);
    editor.AddControl(knob);
    editor.PrepareSurfaces();
    knob->SetValue(0.5);   // frame 3

    editor.FillSurface(kUntouched);
    ASSERT_TRUE(editor.Render(Bounds(5, 5, 15, 25)));
    ASSERT_EQ(editor.presented.size(), 1u);
    EXPECT_EQ(editor.presented[0], Bounds(5, 5, 15, 25));
    for (int32_t y = 0; y < 60; ++y) {
        for (int32_t x = 0; x < 100; ++x) {
            PIX_Pixel32 expected = kUntouched;
            if (x >= 5 && x < 15 && y >= 5 && y < 25) {
                const bool onKnob = x >= 10 && y >= 10;
                expected = onKnob ? TestEditor::FrameColour(knobId, 3) : TestEditor::FrameColour(bgId, 1);
            }
            ASSERT_EQ(editor.PixelAt(x, y), expected) << x << "," << y;
        }
    }
}

TEST(Editor, RenderCleansEveryControlButDrawsOnlyThoseItTouches)
{
    TestEditor editor(nullptr, 100, 60);
    auto* bg = new ProbeControl(nullptr, Bounds(0, 0, 100, 60));
    auto* knob = new ProbeControl(nullptr, Bounds(50, 10, 70, 30));
    auto* hidden = new ProbeControl(nullptr, Bounds(0, 0, 20, 20));
    editor.AddControl(bg);
    editor.AddControl(knob);
    editor.AddControl(hidden);
    hidden->SetHidden(true);
    editor.PrepareSurfaces();

    Bounds dirty;
    ASSERT_TRUE(editor.CollectDirty(dirty));
    EXPECT_EQ(dirty, Bounds(0, 0, 100, 60));

    editor.Render(Bounds(0, 0, 20, 20));
    EXPECT_TRUE(bg->Called("draw"));
    EXPECT_FALSE(knob->Called("draw"));
    EXPECT_FALSE(hidden->Called("draw"));
    EXPECT_FALSE(bg->NeedsRedraw());
    EXPECT_FALSE(knob->NeedsRedraw());
    EXPECT_TRUE(hidden->NeedsRedraw());   // its redraw request holds for one more round
    editor.Render(Bounds(0, 0, 20, 20));
    EXPECT_FALSE(editor.CollectDirty(dirty));

    // A rect ending exactly where a control starts still counts as touching.
    editor.Render(Bounds(30, 0, 50, 10));
    EXPECT_TRUE(knob->Called("draw"));
}

TEST(Editor, RenderWithoutControlsPresentsNothing)
{
    TestEditor editor(nullptr);
    editor.PrepareSurfaces();
    EXPECT_TRUE(editor.Render(Bounds(0, 0, 10, 10)));
    EXPECT_TRUE(editor.presented.empty());
}

TEST(Editor, CollectDirtyJoinsDirtyRects)
{
    TestEditor editor(nullptr);
    auto* a = new ProbeControl(nullptr, Bounds(10, 20, 30, 40));
    auto* b = new ProbeControl(nullptr, Bounds(50, 5, 60, 25));
    auto* empty = new ProbeControl(nullptr, Bounds());
    auto* clean = new ProbeControl(nullptr, Bounds(0, 0, 200, 100));
    editor.AddControl(a);
    editor.AddControl(empty);
    editor.AddControl(b);
    editor.AddControl(clean);
    clean->MarkClean();
    Bounds out(1, 2, 3, 4);
    ASSERT_TRUE(editor.CollectDirty(out));
    EXPECT_EQ(out, Bounds(10, 5, 60, 40));

    a->MarkClean();
    b->MarkClean();
    empty->MarkClean();
    EXPECT_FALSE(editor.CollectDirty(out));
    editor.MarkAllControlsDirty();
    ASSERT_TRUE(editor.CollectDirty(out));
    EXPECT_EQ(out, Bounds(0, 0, 200, 100));
}

TEST(Editor, BlitStripOutsideTheDrawRectDrawsNothing)
{
    TestEditor editor(nullptr, 100, 60);
    auto* bg = new ProbeControl(nullptr, Bounds(0, 0, 100, 60));
    editor.AddControl(bg);
    editor.PrepareSurfaces();
    const BitmapStrip strip = editor.NewStrip(20, 20, 2);
    editor.FillSurface(kUntouched);
    editor.Render(Bounds(0, 0, 10, 10));   // sets the draw rect
    EXPECT_TRUE(editor.BlitStrip(strip, Bounds(50, 30, 70, 50), 0, 0, nullptr));
    EXPECT_TRUE(editor.BlitStrip(strip, Bounds(), 0, 0, nullptr));
    for (int32_t y = 0; y < 60; ++y)
        for (int32_t x = 0; x < 100; ++x)
            ASSERT_EQ(editor.PixelAt(x, y), kUntouched);
}

TEST(Editor, BlitStripTakesTheClippedPartOfTheFrame)
{
    TestEditor editor(nullptr, 100, 60);
    editor.AddControl(new ProbeControl(nullptr, Bounds(0, 0, 100, 60)));
    editor.PrepareSurfaces();
    int32_t id = 0;
    const BitmapStrip strip = editor.NewStrip(20, 20, 3, &id);
    editor.FillSurface(kUntouched);
    editor.Render(Bounds(15, 15, 100, 60));
    // Frame 2 (source y 20) drawn at (10, 10): the visible part starts 5 rows
    // into the frame, so the rows below stay inside frame 2.
    editor.BlitStrip(strip, Bounds(10, 10, 30, 30), 0, 20, nullptr);
    EXPECT_EQ(editor.PixelAt(14, 20), kUntouched);
    EXPECT_EQ(editor.PixelAt(15, 15), TestEditor::FrameColour(id, 2));
    EXPECT_EQ(editor.PixelAt(29, 29), TestEditor::FrameColour(id, 2));
    EXPECT_EQ(editor.PixelAt(30, 29), kUntouched);
    EXPECT_EQ(editor.PixelAt(29, 30), kUntouched);
}

TEST(Editor, BlendMethodsPickTheCombineModes)
{
    struct Case {
        BlendStyle blend;
        bool useBlend;
        int32_t mode;
        float weight;
    };
    const Case cases[] = {
        {BlendStyle(kBlendSourceAlpha, 1.0f), true, PIX_MODE_COPY | PIX_MODE_SOURCE_ALPHA, 1.0f},
        {BlendStyle(kBlendCopy, 0.5f), true, PIX_MODE_COPY, 0.5f},
        {BlendStyle(kBlendAdd, 0.75f), true, PIX_MODE_ADD | PIX_MODE_SOURCE_ALPHA, 0.75f},
        {BlendStyle(kBlendDodge, 1.0f), true, PIX_MODE_DODGE | PIX_MODE_SOURCE_ALPHA, 1.0f},
        {BlendStyle(9, 0.25f), true, PIX_MODE_COPY | PIX_MODE_SOURCE_ALPHA, 0.25f},
        {BlendStyle(), false, PIX_MODE_COPY | PIX_MODE_SOURCE_ALPHA, 1.0f},
    };

    // A half-transparent gradient over a busy destination tells the modes apart.
    PIX_MemBitmap source;
    source.Resize(8, 8);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x)
            source.Pixels()[y * source.Stride() + x] =
                (static_cast<uint32_t>(x * 32 + 10) << 24) | (static_cast<uint32_t>(y * 30) << 16) | 0x4080u;
    BitmapStrip strip;
    strip.bitmap = &source;
    strip.width = 8;
    strip.height = 8;

    for (const Case& c : cases) {
        TestEditor editor(nullptr, 16, 16);
        editor.AddControl(new ProbeControl(nullptr, Bounds(0, 0, 16, 16)));
        editor.PrepareSurfaces();
        PIX_MemBitmap expected;
        expected.Resize(16, 16);
        for (int32_t y = 0; y < 16; ++y) {
            for (int32_t x = 0; x < 16; ++x) {
                const PIX_Pixel32 d = 0x80000000u | static_cast<uint32_t>((x * 16) << 8 | y * 16);
                editor.DrawingSurface()->Pixels()[y * editor.DrawingSurface()->Stride() + x] = d;
                expected.Pixels()[y * expected.Stride() + x] = d;
            }
        }
        editor.Render(Bounds(0, 0, 16, 16));
        editor.BlitStrip(strip, Bounds(4, 4, 12, 12), 0, 0, c.useBlend ? &c.blend : nullptr);
        PIX_Composite(&expected, &source, 4, 4, nullptr, c.weight, c.mode);
        for (int32_t y = 0; y < 16; ++y)
            for (int32_t x = 0; x < 16; ++x)
                ASSERT_EQ(editor.PixelAt(x, y), expected.Pixels()[y * expected.Stride() + x])
                    << "method " << c.blend.method << " at " << x << "," << y;
    }
}

TEST(Editor, LoadStripCachesByIdAcrossEditors)
{
    const int32_t id = TestEditor::DefineImage(24, 25, 61);
    TestEditor first(nullptr);
    const BitmapStrip a = first.LoadStrip(id, "IN.png", 61);
    ASSERT_NE(a.bitmap, nullptr);
    EXPECT_EQ(a.width, 24);
    EXPECT_EQ(a.height, 1525);
    EXPECT_EQ(a.frames, 61);
    EXPECT_FALSE(a.horizontal);
    EXPECT_EQ(TestEditor::LoadCount(id), 1);

    // The file name plays no part in the lookup.
    const BitmapStrip b = first.LoadStrip(id, "other.png", 61);
    EXPECT_EQ(b.bitmap, a.bitmap);
    TestEditor second(nullptr);
    const BitmapStrip c = second.LoadStrip(id, "IN.png", 30);
    EXPECT_EQ(c.bitmap, a.bitmap);
    EXPECT_EQ(c.frames, 30);
    EXPECT_EQ(TestEditor::LoadCount(id), 1);
    EXPECT_EQ(BitmapCache::Find(id), a.bitmap);
}

TEST(Editor, MissingImageGivesAnEmptyStripAndIsRetried)
{
    TestEditor editor(nullptr);
    const int32_t unknown = 4999;
    const int32_t before = BitmapCache::EntryCount();
    const BitmapStrip s = editor.LoadStrip(unknown, "missing.png", 4);
    EXPECT_EQ(s.bitmap, nullptr);
    EXPECT_EQ(s.width, 0);
    EXPECT_EQ(s.height, 0);
    EXPECT_EQ(s.frames, 4);
    EXPECT_EQ(BitmapCache::EntryCount(), before);
    editor.LoadStrip(unknown, "missing.png", 4);
    EXPECT_EQ(TestEditor::LoadCount(unknown), 2);

    // A control over it has no area and draws nothing.
    editor.AddControl(new BitmapControl(nullptr, 5, 5, -1, s, kBlendSourceAlpha));
    editor.PrepareSurfaces();
    editor.FillSurface(kUntouched);
    editor.Render(Bounds(0, 0, 200, 100));
    EXPECT_EQ(editor.PixelAt(5, 5), kUntouched);
}

TEST(Editor, BuiltInImagesLoadByResourceId)
{
    Editor editor(nullptr, 10, 10, 25);
    std::unique_ptr<PIX_IBitmap> bg(editor.LoadResourceImage(106, "resources/img/BG.png"));
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(bg->Width(), 1001);
    EXPECT_EQ(bg->Height(), 270);
    std::unique_ptr<PIX_IBitmap> meter(editor.LoadResourceImage(107, "METER.PNG"));
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(meter->Height(), 14157);
    EXPECT_EQ(editor.LoadResourceImage(106, "resources/img/BG.bmp"), nullptr);
    EXPECT_EQ(editor.LoadResourceImage(106, "BG"), nullptr);
    EXPECT_EQ(editor.LoadResourceImage(999, "x.png"), nullptr);
}

TEST(Editor, SetEditorSizeStartsOver)
{
    RecordingPlug plug;
    TestEditor editor(&plug, 100, 60);
    editor.AddControl(new ProbeControl(&plug, Bounds(0, 0, 100, 60)));
    editor.PrepareSurfaces();
    editor.HandleMouseDown(5, 5, Left());
    editor.SetHandleMouseOver(true);
    editor.HandleMouseOver(5, 5, MouseModifiers());
    editor.SetEditorSize(300, 120);
    EXPECT_EQ(editor.ControlCount(), 0);
    EXPECT_EQ(editor.Width(), 300);
    EXPECT_EQ(editor.Height(), 120);
    ASSERT_NE(editor.DrawingSurface(), nullptr);
    EXPECT_EQ(editor.DrawingSurface()->Width(), 300);
    EXPECT_EQ(editor.DrawingSurface()->Height(), 120);
    ASSERT_NE(editor.ScratchSurface(), nullptr);
    EXPECT_EQ(editor.MouseCapture(), -1);
    EXPECT_EQ(editor.MouseOverIndex(), -1);
    EXPECT_EQ(plug.LastValue('R'), 120.0);
    EXPECT_EQ(plug.events.back().idx, 300);
    EXPECT_TRUE(editor.HandleMouseOver(5, 5, MouseModifiers()));   // nothing stale left
}

TEST(Editor, HeadlessDefaults)
{
    Editor editor(nullptr, 50, 40, 30);
    EXPECT_EQ(editor.FrameRate(), 30);
    EXPECT_FALSE(editor.IsWindowOpen());
    EXPECT_STREQ(editor.BackendName(), "");
    EXPECT_EQ(editor.CreateEditorWindow(nullptr), nullptr);
    PopupMenu menu;
    menu.AddItem("a");
    EXPECT_EQ(editor.TrackMenu(menu, Bounds()), nullptr);
    EXPECT_EQ(editor.DrawingSurface(), nullptr);
    editor.PrepareSurfaces();
    ASSERT_NE(editor.DrawingSurface(), nullptr);
    EXPECT_EQ(editor.DrawingSurface()->Width(), 50);
    EXPECT_EQ(editor.DrawingSurface()->Height(), 40);
}
