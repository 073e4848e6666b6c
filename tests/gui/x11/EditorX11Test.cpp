// The X11 editor window built into the test, on a real X server: the value
// entry box and popup menus driven by synthetic keys and clicks, cursor
// hiding, the error trap and the picture's pixel formats.

// GoogleTest first: Xlib's macros (None, Bool) would break its headers.
#include <gtest/gtest.h>

#include "ProbeControl.h"
#include "RecordingPlug.h"
#include "TestDeadline.h"
#include "TestXlib.h"
#include "X11TestHost.h"
#include "XTestInput.h"

#include "gui/PopupMenu.h"
#include "gui/x11/EditorX11.h"
#include "gui/x11/X11Connection.h"
#include "gui/x11/X11ErrorTrap.h"
#include "gui/x11/X11Presenter.h"
#include "gui/x11/X11TextEntry.h"
#include "pix/PIX_FillArea.h"
#include "pix/PIX_Mode.h"
#include "pix/PIX_SysBitmap.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <thread>

namespace {

class EditorX11Window : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = std::make_unique<X11TestHost>(false);
        ASSERT_TRUE(host->Ok()) << "no X server (DISPLAY)";
        input = std::make_unique<XTestInput>(host->GetDisplay());
        plug = std::make_unique<RecordingPlug>();
        editor = new EditorX11(plug.get(), 200, 100, 25);
        editor->AddControl(new ProbeControl(plug.get(), Bounds(0, 0, 200, 100)));
        gain = Add(Bounds(10, 10, 60, 40), RecordingPlug::kGain);
        release = Add(Bounds(70, 10, 120, 40), RecordingPlug::kRelease);
        plug->AttachEditor(editor);
        ASSERT_NE(editor->CreateEditorWindow(host->ParentHandle()), nullptr);
        plug->events.clear();
    }

    void TearDown() override
    {
        plug.reset();
        input.reset();
        host.reset();
    }

    ProbeControl* Add(const Bounds& r, int32_t param)
    {
        auto* c = new ProbeControl(plug.get(), r, param);
        c->SetPromptDisabled(false);
        editor->AddControl(c);
        return c;
    }

    // The editor reads what the server has for it until `done` holds (the
    // server may pass synthetic input on a while after it answers the test,
    // longer on a busy machine); whether it held before the deadline. Only
    // the events are read: the editor's own tick (Pump runs it when due)
    // would close a finished entry before its state could be seen.
    bool PumpUntil(const std::function<bool()>& done)
    {
        XSync(host->GetDisplay(), False);
        X11Connection::Shared().Dispatch();
        return TestDeadline::Until(done, [&]() {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            X11Connection::Shared().Dispatch();
        });
    }

    bool PumpUntilText(const std::string& text)
    {
        return PumpUntil([&]() { return EntryText() == text; });
    }

    bool PumpUntilState(TextEntryState state)
    {
        return PumpUntil([&]() { return editor->Entry().State() == state; });
    }

    void Prompt(ProbeControl* c) { editor->PromptControlValue(c, plug->ParamAt(c->ParamIdx()), c->Rect()); }

    std::string EntryText() const
    {
        char text[64];
        editor->TextEntryText(text, sizeof text);
        return text;
    }

    void ScreenPoint(int x, int y, int& sx, int& sy) const
    {
        Window child = 0;
        XTranslateCoordinates(host->GetDisplay(), editor->NativeWindow(), DefaultRootWindow(host->GetDisplay()), x, y,
                              &sx, &sy, &child);
    }

    // The menu's loop blocks this thread: a user on a connection of its own
    // acts once the menu is on the screen and holds the pointer (its
    // keyboard grab follows at once). `act` gets the menu window's place.
    // The user gives up after the deadline; the thread is joined by the test.
    std::thread UserOnceMenuIsOpen(std::function<void(XTestInput&, const XWindowAttributes&)> act)
    {
        const std::vector<Window> before = host->ChildrenOf(DefaultRootWindow(host->GetDisplay()));
        menuSeen = false;
        return std::thread([this, before, act]() {
            Display* own = XOpenDisplay(nullptr);
            if (!own)
                return;
            XTestInput hand(own);
            XWindowAttributes menuWindow = {};
            const bool open = TestDeadline::Until(
                [&]() { return MenuOnScreen(own, before, menuWindow) && PointerHeldByAnother(own); },
                []() { std::this_thread::sleep_for(std::chrono::milliseconds(10)); });
            menuSeen = open;
            if (open)
                act(hand, menuWindow);
            else
                hand.Key(XK_Escape);   // whatever is open, let the test go on
            XCloseDisplay(own);
        });
    }

    static bool MenuOnScreen(Display* own, const std::vector<Window>& before, XWindowAttributes& found)
    {
        Window root = 0;
        Window up = 0;
        Window* kids = nullptr;
        unsigned n = 0;
        bool seen = false;
        XQueryTree(own, DefaultRootWindow(own), &root, &up, &kids, &n);
        for (unsigned i = 0; i < n && !seen; ++i) {
            if (std::find(before.begin(), before.end(), kids[i]) != before.end())
                continue;
            XWindowAttributes a;
            if (XGetWindowAttributes(own, kids[i], &a) && a.map_state == IsViewable && a.override_redirect) {
                found = a;
                seen = true;
            }
        }
        if (kids)
            XFree(kids);
        return seen;
    }

    static bool PointerHeldByAnother(Display* own)
    {
        const int result = XGrabPointer(own, DefaultRootWindow(own), False, ButtonPressMask, GrabModeAsync,
                                        GrabModeAsync, None, None, CurrentTime);
        if (result == GrabSuccess) {
            XUngrabPointer(own, CurrentTime);
            XSync(own, False);
        }
        return result == AlreadyGrabbed;
    }

    Window Focus() const
    {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(host->GetDisplay(), &focus, &revert);
        return focus;
    }

    std::unique_ptr<X11TestHost> host;
    std::unique_ptr<XTestInput> input;
    std::unique_ptr<RecordingPlug> plug;
    EditorX11* editor = nullptr;   // owned by the plug
    ProbeControl* gain = nullptr;
    ProbeControl* release = nullptr;
    std::atomic<bool> menuSeen{false};
};

TEST_F(EditorX11Window, TheEntryBoxTakesTheKeyboardAndFiltersForAContinuousParameter)
{
    Prompt(gain);
    ASSERT_TRUE(editor->Entry().IsOpen());
    const X11TextEntry* box = editor->TextEntryBox();
    ASSERT_NE(box, nullptr);
    const Window boxWindow = box->Handle();
    EXPECT_EQ(host->ChildrenOf(editor->NativeWindow()).size(), 1u);
    EXPECT_EQ(Focus(), boxWindow);
    EXPECT_EQ(EntryText(), "0.00");

    input->Type("-3.5x");
    EXPECT_TRUE(PumpUntilText("-3.5"));
    EXPECT_EQ(editor->Entry().State(), TextEntryState::Idle);
    input->Key(XK_Return);
    EXPECT_TRUE(PumpUntilState(TextEntryState::Commit));
    // Read in order: the x came before Enter, and was refused.
    EXPECT_EQ(EntryText(), "-3.5");
    editor->OnTimer();
    EXPECT_FALSE(editor->Entry().IsOpen());
    EXPECT_TRUE(host->ChildrenOf(editor->NativeWindow()).empty());
    // Typed values reach the host as a whole edit.
    EXPECT_EQ(plug->Trace(), "B0 P0 C0 E0");
    EXPECT_DOUBLE_EQ(plug->LastValue('P'), (18.0 - 3.5) / 36.0);
    EXPECT_NE(Focus(), boxWindow);
}

TEST_F(EditorX11Window, AnIntegerEntryKeepsDigitsAndSignsOnly)
{
    Prompt(release);
    input->Type("12a.");
    input->Key(XK_BackSpace);
    input->Type("3");
    EXPECT_TRUE(PumpUntilText("13"));
    input->Key(XK_Home);
    input->Type("+");
    EXPECT_TRUE(PumpUntilText("+13"));
    input->Key(XK_KP_Enter);
    EXPECT_TRUE(PumpUntilState(TextEntryState::Commit));
    editor->OnTimer();
    // Committed beyond the range: the nearest bound.
    EXPECT_DOUBLE_EQ(plug->LastValue('P'), 1.0);
}

TEST_F(EditorX11Window, EscapeCancelsTheEntry)
{
    Prompt(gain);
    ASSERT_NE(editor->TextEntryBox(), nullptr);
    EXPECT_EQ(Focus(), editor->TextEntryBox()->Handle());
    input->Type("7");
    input->Key(XK_Escape);
    EXPECT_TRUE(PumpUntilState(TextEntryState::Cancel));
    editor->OnTimer();
    EXPECT_FALSE(editor->Entry().IsOpen());
    EXPECT_EQ(plug->Trace(), "");
}

TEST_F(EditorX11Window, LosingTheFocusCommitsTheEntry)
{
    Prompt(release);
    input->Type("4");
    EXPECT_TRUE(PumpUntilText("4"));
    XSetInputFocus(host->GetDisplay(), host->Parent(), RevertToParent, CurrentTime);
    EXPECT_TRUE(PumpUntilState(TextEntryState::Commit));
    editor->OnTimer();
    EXPECT_DOUBLE_EQ(plug->LastValue('P'), 0.8);
}

TEST_F(EditorX11Window, TheEntryBoxIsDrawnInItsColoursOverTheControl)
{
    TextStyle& style = gain->GetTextStyle();
    style.entryBackground = ArgbColor(255, 255, 255, 0);
    style.entryForeground = ArgbColor(255, 0, 0, 255);
    Prompt(gain);
    const X11TextEntry* box = editor->TextEntryBox();
    ASSERT_NE(box, nullptr);
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(host->GetDisplay(), box->Handle(), &a));
    EXPECT_EQ(a.x, 10);
    EXPECT_EQ(a.y, 10);
    EXPECT_EQ(a.width, 51);
    EXPECT_EQ(a.height, 31);
    input->Key(XK_End);   // nothing selected: text in the foreground colour
    input->Type("1");
    EXPECT_TRUE(PumpUntilText("0.001"));
    const std::vector<uint32_t> shown = host->Picture(box->Handle(), 0, 0, a.width, a.height);
    std::set<uint32_t> colours(shown.begin(), shown.end());
    EXPECT_EQ(shown.front(), 0xFFFF00u);
    EXPECT_TRUE(colours.count(0x0000FFu)) << "no text drawn";
}

TEST_F(EditorX11Window, KeysPickAnItemInASubmenu)
{
    PopupMenu menu;
    menu.AddItem("one");
    auto sub = std::make_unique<PopupMenu>();
    sub->AddItem("a");
    sub->AddItem("b");
    PopupMenu* submenu = menu.AddSubmenu("two", std::move(sub));
    menu.AddItem("three");

    std::thread user = UserOnceMenuIsOpen([](XTestInput& hand, const XWindowAttributes&) {
        for (KeySym key : {XK_Down, XK_Down, XK_Right, XK_Down, XK_Return})
            hand.Key(key);
    });
    PopupMenu* chosen = editor->TrackMenu(menu, Bounds(10, 10, 60, 40));
    user.join();
    ASSERT_TRUE(menuSeen);
    EXPECT_EQ(chosen, submenu);
    EXPECT_EQ(submenu->ChosenIndex(), 1);
}

TEST_F(EditorX11Window, GreyedItemsAreSkippedAndEscapeDismisses)
{
    const size_t topLevel = host->ChildrenOf(DefaultRootWindow(host->GetDisplay())).size();
    PopupMenu menu;
    menu.AddItem("a", kMenuItemGrayed);
    menu.AddSeparator();
    menu.AddItem("b", kMenuItemChecked);
    std::thread user = UserOnceMenuIsOpen([](XTestInput& hand, const XWindowAttributes&) {
        hand.Key(XK_Down);
        hand.Key(XK_Return);
    });
    EXPECT_EQ(editor->TrackMenu(menu, Bounds(10, 10, 60, 40)), &menu);
    user.join();
    ASSERT_TRUE(menuSeen);
    EXPECT_EQ(menu.ChosenIndex(), 2);

    user = UserOnceMenuIsOpen([](XTestInput& hand, const XWindowAttributes&) { hand.Key(XK_Escape); });
    EXPECT_EQ(editor->TrackMenu(menu, Bounds(10, 10, 60, 40)), nullptr);
    user.join();
    EXPECT_TRUE(menuSeen);
    EXPECT_EQ(host->ChildrenOf(DefaultRootWindow(host->GetDisplay())).size(), topLevel);
}

TEST_F(EditorX11Window, AClickOutsideDismissesTheMenu)
{
    PopupMenu menu;
    menu.AddItem("a");
    std::thread user = UserOnceMenuIsOpen([](XTestInput& hand, const XWindowAttributes&) {
        hand.MoveTo(1200, 1000);
        hand.Press(1);
        hand.Release(1);
    });
    EXPECT_EQ(editor->TrackMenu(menu, Bounds(10, 10, 60, 40)), nullptr);
    user.join();
    EXPECT_TRUE(menuSeen);
}

TEST_F(EditorX11Window, AClickOnAnItemChoosesIt)
{
    std::thread user = UserOnceMenuIsOpen([](XTestInput& hand, const XWindowAttributes& a) {
        // Three rows inside a 1-pixel frame and 2 pixels of padding.
        const int row = (a.height - 6) / 3;
        const int y = a.y + 3 + 2 * row + row / 2;
        hand.MoveTo(a.x + a.width / 2, y);
        hand.Press(1);
        hand.Release(1);
    });
    PopupMenu menu;
    menu.AddItem("first");
    menu.AddItem("second");
    menu.AddItem("third");
    PopupMenu* chosen = editor->TrackMenu(menu, Bounds(10, 10, 60, 40));
    user.join();
    ASSERT_TRUE(menuSeen);
    EXPECT_EQ(chosen, &menu);
    EXPECT_EQ(menu.ChosenIndex(), 2);
}

TEST_F(EditorX11Window, AHiddenCursorComesBackWhereItWasHidden)
{
    int sx = 0;
    int sy = 0;
    ScreenPoint(30, 20, sx, sy);
    input->MoveTo(sx, sy);
    editor->HideCursorForDrag();
    input->MoveTo(sx + 100, sy + 50);
    editor->RestoreCursorAfterDrag();
    Window root = 0;
    Window child = 0;
    int x = 0;
    int y = 0;
    int wx = 0;
    int wy = 0;
    unsigned mask = 0;
    XSync(X11Connection::Shared().GetDisplay(), False);
    XQueryPointer(host->GetDisplay(), host->Parent(), &root, &child, &x, &y, &wx, &wy, &mask);
    EXPECT_EQ(x, sx);
    EXPECT_EQ(y, sy);
}

TEST_F(EditorX11Window, DrawsThroughSharedMemoryOnALocalServer)
{
    EXPECT_TRUE(editor->UsesSharedMemory());
}

int otherErrors = 0;
int CountOtherError(Display*, XErrorEvent*)
{
    ++otherErrors;
    return 0;
}

TEST(X11ErrorTrap, DropsErrorsOfItsConnectionAndPassesOthersOn)
{
    Display* own = XOpenDisplay(nullptr);
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(own, nullptr);
    ASSERT_NE(other, nullptr);
    otherErrors = 0;
    const XErrorHandler before = XSetErrorHandler(&CountOtherError);
    {
        X11ErrorTrap trap(own);
        XDestroyWindow(own, 0x7FFFFFF);
        {
            X11ErrorTrap inner(own);
            XMapWindow(own, 0x7FFFFFE);
            EXPECT_FALSE(inner.Sync());
            EXPECT_EQ(inner.ErrorCount(), 1);
        }
        EXPECT_FALSE(trap.Sync());
        EXPECT_EQ(trap.ErrorCount(), 2);
        EXPECT_EQ(trap.LastErrorCode(), BadWindow);
        XDestroyWindow(other, 0x7FFFFFF);
        XSync(other, False);
        EXPECT_EQ(otherErrors, 1);
    }
    EXPECT_EQ(XSetErrorHandler(before), &CountOtherError);
    XCloseDisplay(other);
    XCloseDisplay(own);
}

TEST(X11PresenterFormats, PixelsReachTheServerInAnyChannelLayout)
{
    X11Connection& connection = X11Connection::Shared();
    ASSERT_TRUE(connection.Acquire());
    Display* d = connection.GetDisplay();
    Visual bgr = *DefaultVisual(d, DefaultScreen(d));
    std::swap(bgr.red_mask, bgr.blue_mask);
    PIX_SysBitmap surface(8, 4);
    PIX_FillArea(&surface, 0, 0, 8, 4, 0xFF123456u, 1.0f, PIX_MODE_COPY);
    for (bool sharedMemory : {false, true}) {
        for (Visual* visual : {DefaultVisual(d, DefaultScreen(d)), &bgr}) {
            X11Presenter presenter;
            ASSERT_TRUE(presenter.Create(d, DefaultRootWindow(d), visual, DefaultDepth(d, DefaultScreen(d)), 8, 4,
                                         sharedMemory && connection.HasSharedMemory()));
            EXPECT_TRUE(presenter.Present(surface, Bounds(2, 1, 6, 3)));
            XImage* image = XGetImage(d, presenter.Picture(), 0, 0, 8, 4, AllPlanes, ZPixmap);
            ASSERT_NE(image, nullptr);
            const unsigned long expected = visual == &bgr ? 0x563412u : 0x123456u;
            EXPECT_EQ(XGetPixel(image, 3, 2) & 0xFFFFFFu, expected);
            XDestroyImage(image);
        }
    }
    connection.Release();
}

}   // namespace
