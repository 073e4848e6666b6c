// The plug-in's editor in a Linux host on a real X server: the bundle loaded
// through its entry points, its view attached to the test host's window,
// and the user's input synthesised with XTEST.

// GoogleTest first: Xlib's macros (None, Bool) would break its headers.
#include <gtest/gtest.h>

#include "HeadlessReference.h"
#include "HostedPlugin.h"
#include "ParameterChanges.h"
#include "SnapshotPicture.h"
#include "posix/ChildProcess.h"
#include "TestDeadline.h"
#include "ViewMenuHandler.h"
#include "X11TestHost.h"
#include "XEmbedTestHost.h"
#include "XTestInput.h"

#include "gui/DisplayScale.h"
#include "plug/TidepullEditorLayout.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <X11/Xatom.h>

#include <stdlib.h>
#include <unistd.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

using Layout = TidepullEditorLayout;

constexpr ParamID kInputAttenId = 0;
constexpr ParamID kAcThresholdId = 2;
constexpr ParamID kSidechainId = 8;

#ifdef TIDEPULL_SNAPSHOT_EXE
std::vector<uint32_t> SnapshotAtScale(const char* scale, int& width, int& height)
{
    return SnapshotPicture(TIDEPULL_SNAPSHOT_EXE, {"--scale", scale}, width, height);
}
#endif

class EditorInHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = std::make_unique<X11TestHost>(OffersRunLoop());
        ASSERT_TRUE(host->Ok()) << "no X server (DISPLAY)";
        input = std::make_unique<XTestInput>(host->GetDisplay());
        plug = std::make_unique<HostedPlugin>();
        ASSERT_TRUE(plug->Valid());
        ASSERT_TRUE(plug->Prepare(HostedPlugin::Setup()));
        plug->Controller()->setComponentHandler(&handler);
        view = plug->Controller()->createView(ViewType::kEditor);
        ASSERT_NE(view, nullptr);
        view->setFrame(host.get());
    }

    void TearDown() override
    {
        if (view) {
            if (attached)
                view->removed();
            view->release();
        }
        if (plug)
            plug->Controller()->setComponentHandler(nullptr);
        plug.reset();
        if (host) {
            EXPECT_EQ(host->lateUnregistrations, 0);
        }
        input.reset();
        host.reset();
    }

    virtual bool OffersRunLoop() const { return true; }

    void Attach()
    {
        ASSERT_EQ(view->attached(host->ParentHandle(), kPlatformTypeX11EmbedWindowID), kResultOk);
        attached = true;
    }

    void Remove()
    {
        ASSERT_EQ(view->removed(), kResultOk);
        attached = false;
    }

    Window EditorWindow() const
    {
        const std::vector<Window> children = host->ChildrenOf(host->Parent());
        return children.empty() ? 0 : children.back();
    }

    // The screen position of an editor pixel.
    void ScreenPoint(int x, int y, int& sx, int& sy) const
    {
        Window child = 0;
        XTranslateCoordinates(host->GetDisplay(), EditorWindow(), DefaultRootWindow(host->GetDisplay()), x, y, &sx, &sy,
                              &child);
    }

    void CentreOf(int32_t controlIdx, int& sx, int& sy) const
    {
        const Bounds r = reference.ControlRect(controlIdx);
        ScreenPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2, sx, sy);
    }

    std::vector<uint32_t> Shown(const Bounds& r) const
    {
        return host->Picture(EditorWindow(), r.left, r.top, r.right - r.left, r.bottom - r.top);
    }

    std::vector<uint32_t> ShownAll() const { return Shown(Bounds(0, 0, Layout::kWidth, Layout::kHeight)); }

    // Input arrives and the next ticks run.
    void Settle() { host->Run(100); }

    // The host's loop runs until `done` holds (a busy server may pass
    // synthetic input on late), then a while longer.
    bool Await(const std::function<bool()>& done)
    {
        const bool held = host->RunUntil(done, static_cast<int>(TestDeadline::LimitMs()));
        Settle();
        return held;
    }

    bool AwaitCalls(size_t n)
    {
        return Await([&]() { return handler.Calls().size() >= n; });
    }

    std::string Trace() const
    {
        std::string s;
        for (const RecordingComponentHandler::Call& c : handler.Calls())
            s += (s.empty() ? "" : " ") + c.what + std::to_string(c.id);
        return s;
    }

    // Empty when every perform the host heard lies inside a begin and an end
    // of its parameter, one edit at a time, and no edit is left open;
    // otherwise the first fault.
    std::string EditFault() const
    {
        int64_t open = -1;
        for (const RecordingComponentHandler::Call& c : handler.Calls()) {
            if (c.what == "begin") {
                if (open >= 0)
                    return "begin inside an edit: " + Trace();
                open = c.id;
            } else if (c.what == "perform" || c.what == "end") {
                if (open != static_cast<int64_t>(c.id))
                    return c.what + " outside its edit: " + Trace();
                if (c.what == "end")
                    open = -1;
            }
        }
        return open >= 0 ? "an edit never ends: " + Trace() : "";
    }

    size_t Count(const std::string& what) const
    {
        size_t n = 0;
        for (const RecordingComponentHandler::Call& c : handler.Calls())
            n += c.what == what;
        return n;
    }

    // The host's loop runs until n edits have ended and none is open.
    bool AwaitEnds(size_t n)
    {
        return Await(
            [&]() { return Count("end") >= n && !handler.Calls().empty() && handler.Calls().back().what == "end"; });
    }

    double LastPerformed() const
    {
        for (auto it = handler.Calls().rbegin(); it != handler.Calls().rend(); ++it) {
            if (it->what == "perform")
                return it->value;
        }
        return -1.0;
    }

    double Normalized(ParamID id) const { return plug->Controller()->getParamNormalized(id); }

    // The host sets the view's scale, as hosts that know the screen's do.
    tresult SetScale(float factor)
    {
        IPlugViewContentScaleSupport* scaling = nullptr;
        if (view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)) != kResultOk ||
            !scaling)
            return kNoInterface;
        const tresult r = scaling->setContentScaleFactor(factor);
        scaling->release();
        return r;
    }

    // The size of the editor's window on the server.
    std::pair<int, int> WindowSize() const
    {
        XWindowAttributes a;
        if (!EditorWindow() || !XGetWindowAttributes(host->GetDisplay(), EditorWindow(), &a))
            return {0, 0};
        return {a.width, a.height};
    }

    // The desktop's resolution as the X server's resources carry it, read
    // by connections opened from now on; none removes it.
    void SetDesktopDpi(const char* dpi)
    {
        Display* d = host->GetDisplay();
        if (!dpi) {
            XDeleteProperty(d, DefaultRootWindow(d), XA_RESOURCE_MANAGER);
        } else {
            const std::string resources = std::string("Xft.antialias:\t1\nXft.dpi:\t") + dpi + "\n";
            XChangeProperty(d, DefaultRootWindow(d), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(resources.data()),
                            static_cast<int>(resources.size()));
        }
        XSync(d, False);
    }

    std::unique_ptr<X11TestHost> host;
    std::unique_ptr<XTestInput> input;
    std::unique_ptr<HostedPlugin> plug;
    ViewMenuHandler handler;
    HeadlessReference reference;
    IPlugView* view = nullptr;
    bool attached = false;
};

TEST_F(EditorInHost, ShowsTheHeadlessPictureInAChildOfTheHostWindow)
{
    Attach();
    const std::vector<Window> children = host->ChildrenOf(host->Parent());
    ASSERT_EQ(children.size(), 1u);
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(host->GetDisplay(), children[0], &a));
    EXPECT_EQ(a.width, Layout::kWidth);
    EXPECT_EQ(a.height, Layout::kHeight);
    EXPECT_EQ(a.map_state, IsViewable);
    // Drawn by the time attached returns, before the host's loop runs.
    EXPECT_EQ(DifferentPixels(ShownAll(), reference.Picture()), 0u);

    EXPECT_EQ(host->Timers(), 1u);
    EXPECT_EQ(host->Handlers(), 1u);
    EXPECT_EQ(host->lastTimerInterval, std::chrono::milliseconds(40));
    Settle();
    EXPECT_EQ(DifferentPixels(ShownAll(), reference.Picture()), 0u);
}

TEST_F(EditorInHost, DraggingAKnobReachesTheHostAsBeginPerformEnd)
{
    Attach();
    const double before = Normalized(kAcThresholdId);
    ASSERT_LT(before, 0.8);
    int x = 0;
    int y = 0;
    CentreOf(Layout::kAcThresholdKnob, x, y);
    // 25 pixels up on a 50-pixel knob geared 4: an eighth of the range.
    input->Drag(x, y, x, y - 25, 5);
    EXPECT_TRUE(Await([&]() { return !handler.Calls().empty() && handler.Calls().back().what == "end"; }));

    const std::vector<RecordingComponentHandler::Call>& calls = handler.Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().what, "begin");
    EXPECT_EQ(calls.back().what, "end");
    for (const RecordingComponentHandler::Call& c : calls)
        EXPECT_EQ(c.id, kAcThresholdId);
    for (size_t i = 1; i + 1 < calls.size(); ++i)
        EXPECT_EQ(calls[i].what, "perform");
    EXPECT_NEAR(LastPerformed(), before + 0.125, 1e-9);
    EXPECT_NEAR(Normalized(kAcThresholdId), before + 0.125, 1e-9);
}

TEST_F(EditorInHost, AClickTogglesTheSidechainSwitchAndItsLamp)
{
    Attach();
    ASSERT_EQ(Normalized(kSidechainId), 0.0);
    int x = 0;
    int y = 0;
    CentreOf(Layout::kSidechainSwitch, x, y);
    input->Click(1, x, y);
    EXPECT_TRUE(AwaitCalls(3));
    EXPECT_EQ(Trace(), "begin8 perform8 end8");
    EXPECT_EQ(LastPerformed(), 1.0);
    EXPECT_EQ(Normalized(kSidechainId), 1.0);

    ParameterChanges lit;
    lit.Add(kSidechainId, 1.0);
    reference.Apply(lit);
    const Bounds r = reference.ControlRect(Layout::kSidechainSwitch);
    EXPECT_EQ(DifferentPixels(Shown(r), reference.Picture(r)), 0u);

    // Quick enough to be a double click, which a switch takes as a second
    // click: a whole edit of its own.
    input->Click(1, x, y);
    EXPECT_TRUE(AwaitCalls(6));
    EXPECT_EQ(Trace(), "begin8 perform8 end8 begin8 perform8 end8");
    EXPECT_EQ(Normalized(kSidechainId), 0.0);
}

TEST_F(EditorInHost, WheelNotchesReachTheHostInsideOneEditEndedWhenTheWheelRests)
{
    Attach();
    const double before = Normalized(kInputAttenId);
    ASSERT_GT(before, 0.02);
    ASSERT_LT(before, 0.98);
    int x = 0;
    int y = 0;
    CentreOf(Layout::kInputKnob, x, y);
    input->Click(5, x, y);   // towards the user: down
    input->Click(4, x, y);
    input->Click(4, x, y);
    // The edit ends on the editor's timer once the wheel rests.
    EXPECT_TRUE(AwaitEnds(1));
    EXPECT_NEAR(Normalized(kInputAttenId), before + 0.01, 1e-12);
    EXPECT_EQ(Count("perform"), 3u);
    EXPECT_EQ(handler.Calls().front().what, "begin");
    for (const RecordingComponentHandler::Call& c : handler.Calls())
        EXPECT_EQ(c.id, kInputAttenId);
    EXPECT_EQ(EditFault(), "");
    // A notch burst shares its edit; only a host far too slow to deliver
    // three clicks within the rest splits it.
    EXPECT_LE(Count("begin"), 3u);
}

TEST_F(EditorInHost, ADoubleClickPutsAKnobBackToItsDefault)
{
    Attach();
    const double initial = Normalized(kAcThresholdId);
    int x = 0;
    int y = 0;
    CentreOf(Layout::kAcThresholdKnob, x, y);
    input->Click(4, x, y);
    input->Click(4, x, y);
    EXPECT_TRUE(AwaitEnds(1));
    ASSERT_NEAR(Normalized(kAcThresholdId), initial + 0.02, 1e-12);
    // A click (begin end), then the double click: begin perform end, and its
    // release ends nothing more.
    handler.Clear();
    input->Click(1, x, y);
    input->Click(1, x, y);
    EXPECT_TRUE(AwaitEnds(2));
    EXPECT_NEAR(Normalized(kAcThresholdId), initial, 1e-12);
    EXPECT_EQ(Trace(), "begin2 end2 begin2 perform2 end2");
    // Two single clicks far apart in time are no double click.
    handler.Clear();
    input->Click(4, x, y);
    EXPECT_TRUE(AwaitEnds(1));
    input->Click(1, x, y);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    input->Click(1, x, y);
    EXPECT_TRUE(AwaitEnds(3));
    EXPECT_NEAR(Normalized(kAcThresholdId), initial + 0.01, 1e-12);
    EXPECT_EQ(Trace(), "begin2 perform2 end2 begin2 end2 begin2 end2");
}

TEST_F(EditorInHost, TheRightButtonAsksTheHostForTheParametersContextMenu)
{
    Attach();
    const Bounds r = reference.ControlRect(Layout::kInputKnob);
    const int ex = (r.left + r.right) / 2;
    const int ey = (r.top + r.bottom) / 2;
    int x = 0;
    int y = 0;
    ScreenPoint(ex, ey, x, y);
    input->Click(3, x, y);
    EXPECT_TRUE(Await([&]() { return !handler.Requests().empty(); }));
    ASSERT_EQ(handler.Requests().size(), 1u);
    EXPECT_EQ(handler.Requests()[0].view, view);
    EXPECT_TRUE(handler.Requests()[0].hasId);
    EXPECT_EQ(handler.Requests()[0].id, kInputAttenId);
    EXPECT_EQ(handler.Menu().Popups(), 1);
    EXPECT_EQ(handler.Menu().LastX(), ex);
    EXPECT_EQ(handler.Menu().LastY(), ey);
    EXPECT_EQ(handler.Menu().RefCount(), 1u);
    // The press went to the host instead of the control: no edit began,
    // and the release (if the menu left one) ends none.
    Settle();
    EXPECT_EQ(Trace(), "");
    // A left click after it is a whole edit of its own.
    input->Click(1, x, y);
    EXPECT_TRUE(AwaitEnds(1));
    EXPECT_EQ(Trace(), "begin0 end0");
}

TEST_F(EditorInHost, AHostChangeRedrawsOnlyTheDirtyControlOnTheNextTick)
{
    Display* d = host->GetDisplay();
    int eventBase = 0;
    int errorBase = 0;
    ASSERT_TRUE(XDamageQueryExtension(d, &eventBase, &errorBase));
    Attach();
    Settle();
    // Every area the server repaints in the editor's window comes as an event.
    const Damage damage = XDamageCreate(d, EditorWindow(), XDamageReportRawRectangles);
    XSync(d, False);
    auto collect = [&]() {
        XSync(d, False);
        Bounds area;
        bool any = false;
        XEvent e;
        while (XCheckTypedEvent(d, eventBase + XDamageNotify, &e)) {
            const auto& n = reinterpret_cast<const XDamageNotifyEvent&>(e);
            const Bounds r(n.area.x, n.area.y, n.area.x + n.area.width, n.area.y + n.area.height);
            area = any ? area.Union(r) : r;
            any = true;
        }
        return any ? area : Bounds();
    };
    collect();

    ParameterChanges changes;
    changes.Add(kAcThresholdId, 0.9);
    plug->Apply(changes);
    reference.Apply(changes);
    host->DispatchReady();
    EXPECT_TRUE(collect().IsEmpty()) << "drawn before the tick";

    host->Tick();
    const Bounds knob = reference.ControlRect(Layout::kAcThresholdKnob);
    auto expectKnob = [&](const Bounds& drawn) {
        EXPECT_EQ(drawn.left, knob.left);
        EXPECT_EQ(drawn.top, knob.top);
        EXPECT_EQ(drawn.right, knob.right);
        EXPECT_EQ(drawn.bottom, knob.bottom);
    };
    expectKnob(collect());
    EXPECT_EQ(DifferentPixels(ShownAll(), reference.Picture()), 0u);

    // A value from the plug side asks for one more drawing of its control;
    // after that nothing is drawn.
    host->Tick();
    expectKnob(collect());
    host->Tick();
    EXPECT_TRUE(collect().IsEmpty()) << "drawn again with nothing dirty";
    // Before the window goes, which takes the damage object with it.
    XDamageDestroy(d, damage);
    XSync(d, False);
}

TEST_F(EditorInHost, RemovedUnregistersEverythingAndDestroysTheWindow)
{
    Attach();
    Settle();
    Remove();
    EXPECT_EQ(host->Timers(), 0u);
    EXPECT_EQ(host->Handlers(), 0u);
    EXPECT_EQ(host->timerRegistrations, 1);
    EXPECT_EQ(host->handlerRegistrations, 1);
    EXPECT_TRUE(host->ChildrenOf(host->Parent()).empty());
}

TEST_F(EditorInHost, AttachingAndRemovingAHundredTimesLeavesNothingBehind)
{
    // One round first: the fonts and bitmaps every later round shares.
    Attach();
    Settle();
    Remove();
    const int descriptors = OpenDescriptors();
    const size_t topLevel = host->ChildrenOf(DefaultRootWindow(host->GetDisplay())).size();
    for (int i = 0; i < 100; ++i) {
        Attach();
        host->Run(i % 10 == 0 ? 45 : 0);
        Remove();
    }
    EXPECT_EQ(host->timerRegistrations, 101);
    EXPECT_EQ(host->timerUnregistrations, 101);
    EXPECT_EQ(host->handlerRegistrations, 101);
    EXPECT_EQ(host->handlerUnregistrations, 101);
    EXPECT_EQ(host->duplicateRegistrations, 0);
    EXPECT_TRUE(host->ChildrenOf(host->Parent()).empty());
    EXPECT_EQ(host->ChildrenOf(DefaultRootWindow(host->GetDisplay())).size(), topLevel);
    // The plug-in's own connection closes with its last window.
    EXPECT_EQ(OpenDescriptors(), descriptors);

    Attach();
    EXPECT_EQ(DifferentPixels(ShownAll(), reference.Picture()), 0u);
}

TEST_F(EditorInHost, KeysNoControlTakesGoOnToTheHostWindow)
{
    Display* d = host->GetDisplay();
    XSelectInput(d, host->Parent(), KeyPressMask | KeyReleaseMask | StructureNotifyMask);
    Attach();
    int x = 0;
    int y = 0;
    CentreOf(Layout::kAcThresholdKnob, x, y);
    input->MoveTo(x, y);
    input->Key(XK_Tab);
    input->Key(XK_space);

    std::vector<XKeyEvent> presses;
    int releases = 0;
    EXPECT_TRUE(Await([&]() {
        XSync(d, False);
        XEvent e;
        while (XCheckWindowEvent(d, host->Parent(), KeyPressMask | KeyReleaseMask, &e)) {
            if (e.type == KeyPress)
                presses.push_back(e.xkey);
            else
                ++releases;
        }
        return presses.size() >= 2 && releases >= 2;
    }));
    ASSERT_EQ(presses.size(), 2u);
    EXPECT_EQ(presses[0].keycode, XKeysymToKeycode(d, XK_Tab));
    EXPECT_EQ(presses[1].keycode, XKeysymToKeycode(d, XK_space));
    // Sent on by the editor; releases it never selected come straight.
    EXPECT_TRUE(presses[0].send_event);
    EXPECT_EQ(releases, 2);
    EXPECT_EQ(Trace(), "");
}

TEST_F(EditorInHost, AKeyTheHostPassesInIsNotSentBackUp)
{
    // Hosts that hand their keys on to the plug-in window (Ardour does)
    // would otherwise bounce an unused key between the two forever.
    Display* d = host->GetDisplay();
    XSelectInput(d, host->Parent(), KeyPressMask | StructureNotifyMask);
    Attach();
    const std::vector<Window> children = host->ChildrenOf(host->Parent());
    ASSERT_EQ(children.size(), 1u);

    XEvent key = {};
    key.xkey.type = KeyPress;
    key.xkey.display = d;
    key.xkey.window = children[0];
    key.xkey.root = DefaultRootWindow(d);
    key.xkey.x = key.xkey.y = 5;
    key.xkey.same_screen = True;
    key.xkey.keycode = XKeysymToKeycode(d, XK_Control_L);
    XSendEvent(d, children[0], False, KeyPressMask, &key);
    XFlush(d);

    int bounced = 0;
    host->RunUntil(
        [&]() {
        XSync(d, False);
        XEvent e;
        while (XCheckWindowEvent(d, host->Parent(), KeyPressMask, &e))
            ++bounced;
        return bounced > 0;
        },
        500);
    EXPECT_EQ(bounced, 0);
}

int hostErrors = 0;
int CountHostError(Display*, XErrorEvent*)
{
    ++hostErrors;
    return 0;
}

TEST_F(EditorInHost, AHostThatDestroysItsWindowFirstDoesNotLoseItsProcess)
{
    Display* d = host->GetDisplay();
    hostErrors = 0;
    const XErrorHandler before = XSetErrorHandler(&CountHostError);
    const Window own = host->MakeWindow(Layout::kWidth, Layout::kHeight);
    ASSERT_EQ(view->attached(reinterpret_cast<void*>(static_cast<uintptr_t>(own)), kPlatformTypeX11EmbedWindowID),
              kResultOk);
    attached = true;
    Settle();
    XDestroyWindow(d, own);
    XSync(d, False);
    // No loop run in between: the editor learns of it only now.
    Remove();
    EXPECT_EQ(host->Timers(), 0u);
    EXPECT_EQ(host->Handlers(), 0u);
    EXPECT_EQ(XSetErrorHandler(before), &CountHostError);

    // The host's own errors still reach the host's handler.
    XSetErrorHandler(&CountHostError);
    Attach();
    XDestroyWindow(d, 0x7FFFFFF);
    XSync(d, False);
    EXPECT_EQ(hostErrors, 1);
    XSetErrorHandler(before);
}

TEST_F(EditorInHost, SeesTheDestructionOfTheHostWindowInItsLoop)
{
    Display* d = host->GetDisplay();
    const Window own = host->MakeWindow(Layout::kWidth, Layout::kHeight);
    ASSERT_EQ(view->attached(reinterpret_cast<void*>(static_cast<uintptr_t>(own)), kPlatformTypeX11EmbedWindowID),
              kResultOk);
    attached = true;
    XDestroyWindow(d, own);
    Settle();
    Remove();
    EXPECT_EQ(host->Handlers(), 0u);
    Attach();
    EXPECT_EQ(DifferentPixels(ShownAll(), reference.Picture()), 0u);
}

TEST_F(EditorInHost, ClosedFromInsideTheHostsMenuLoopItsWatchGoesAfterwards)
{
    Attach();
    handler.Menu().onPopup = [this]() {
        // The host closes the editor while its own menu runs, inside the
        // plug-in's input callback.
        view->removed();
        attached = false;
    };
    int x = 0;
    int y = 0;
    CentreOf(Layout::kInputKnob, x, y);
    input->Click(3, x, y);
    EXPECT_TRUE(Await([&]() { return handler.Menu().Popups() > 0; }));
    ASSERT_EQ(handler.Menu().Popups(), 1);
    EXPECT_EQ(host->lateUnregistrations, 0);
    EXPECT_EQ(host->Timers(), 0u);
    EXPECT_TRUE(host->ChildrenOf(host->Parent()).empty());
    // The next call from the host is a safe moment.
    view->canResize();
    EXPECT_EQ(host->Handlers(), 0u);

    handler.Menu().onPopup = nullptr;
    Attach();
    Settle();
    EXPECT_EQ(host->Handlers(), 1u);
    EXPECT_EQ(DifferentPixels(ShownAll(), reference.Picture()), 0u);
}

// A host that offers no run loop at all.
class EditorInHostWithoutRunLoop : public EditorInHost {
protected:
    bool OffersRunLoop() const override { return false; }
};

TEST_F(EditorInHostWithoutRunLoop, IsDrawnAtOnceAndKeptGoingByTheHostsCalls)
{
    Attach();
    EXPECT_EQ(host->timerRegistrations, 0);
    EXPECT_EQ(DifferentPixels(ShownAll(), reference.Picture()), 0u);

    // The host covers the editor and shows it again without the plug-in
    // doing anything: the server repaints it.
    const Window cover = host->MakeWindow(300, 200);
    XDestroyWindow(host->GetDisplay(), cover);
    XSync(host->GetDisplay(), False);
    EXPECT_EQ(DifferentPixels(ShownAll(), reference.Picture()), 0u);

    int x = 0;
    int y = 0;
    CentreOf(Layout::kSidechainSwitch, x, y);
    input->Click(1, x, y);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(Trace(), "");
    // Any call on the host's user-interface thread reads the input...
    TestDeadline::Until([&]() { return handler.Calls().size() >= 3; },
                        [&]() {
        plug->Controller()->getParamNormalized(kSidechainId);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    EXPECT_EQ(Trace(), "begin8 perform8 end8");
    // ... and draws once a period has passed.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    view->onFocus(true);
    ParameterChanges lit;
    lit.Add(kSidechainId, 1.0);
    reference.Apply(lit);
    EXPECT_EQ(DifferentPixels(ShownAll(), reference.Picture()), 0u);

    Remove();
    EXPECT_TRUE(host->ChildrenOf(host->Parent()).empty());
}

// One editor, one window: while a view is attached no other view is made
// or attached, and another view's `removed` leaves its window alone.
TEST_F(EditorInHost, OnlyOneViewAtATimeHasTheEditorWindow)
{
    // Made before either is attached, as some hosts do.
    IPlugView* other = plug->Controller()->createView(ViewType::kEditor);
    ASSERT_NE(other, nullptr);
    other->setFrame(host.get());
    Attach();
    const Window shown = EditorWindow();
    EXPECT_EQ(plug->Controller()->createView(ViewType::kEditor), nullptr);

    const Window second = host->MakeWindow(Layout::kWidth, Layout::kHeight);
    EXPECT_EQ(other->attached(reinterpret_cast<void*>(static_cast<uintptr_t>(second)), kPlatformTypeX11EmbedWindowID),
              kResultFalse);
    EXPECT_TRUE(host->ChildrenOf(second).empty());
    EXPECT_EQ(other->removed(), kResultOk);
    other->release();
    ASSERT_EQ(host->ChildrenOf(host->Parent()).size(), 2u);
    EXPECT_EQ(host->ChildrenOf(host->Parent()).front(), shown);
    EXPECT_EQ(host->Timers(), 1u);
    EXPECT_EQ(host->Handlers(), 1u);
    XRaiseWindow(host->GetDisplay(), shown);
    Settle();
    EXPECT_EQ(DifferentPixels(Shown(Bounds(0, 0, Layout::kWidth, Layout::kHeight)), reference.Picture()), 0u)
        << "the attached view lost its window";

    // Once it is removed, the next view gets the editor.
    Remove();
    IPlugView* next = plug->Controller()->createView(ViewType::kEditor);
    ASSERT_NE(next, nullptr);
    next->setFrame(host.get());
    EXPECT_EQ(next->attached(reinterpret_cast<void*>(static_cast<uintptr_t>(second)), kPlatformTypeX11EmbedWindowID),
              kResultOk);
    ASSERT_EQ(host->ChildrenOf(second).size(), 1u);
    EXPECT_EQ(DifferentPixels(host->Picture(host->ChildrenOf(second)[0], 0, 0, Layout::kWidth, Layout::kHeight),
                              reference.Picture()),
              0u);
    EXPECT_EQ(next->removed(), kResultOk);
    next->release();
}

// A host that embeds through XEmbed and refuses a window that does not
// announce it, as hosts built on the SDK's hosting code do.
class EditorInXEmbedHost : public EditorInHost {
protected:
    void SetUp() override
    {
        EditorInHost::SetUp();
        embedder = std::make_unique<XEmbedTestHost>();
        ASSERT_TRUE(embedder->Ok());
        view->setFrame(embedder.get());
    }

    void TearDown() override
    {
        if (view && attached) {
            view->removed();
            attached = false;
        }
        if (embedder) {
            EXPECT_EQ(embedder->lateUnregistrations, 0);
        }
        EditorInHost::TearDown();
        embedder.reset();
    }

    std::vector<uint32_t> Embedded() const
    {
        return embedder->Picture(embedder->Client(), 0, 0, Layout::kWidth, Layout::kHeight);
    }

    bool AwaitPicture()
    {
        return embedder->RunUntil([&]() { return DifferentPixels(Embedded(), reference.Picture()) == 0; },
                                  static_cast<int>(TestDeadline::LimitMs()));
    }

    std::unique_ptr<XEmbedTestHost> embedder;
};

TEST_F(EditorInXEmbedHost, IsEmbeddedShownAndDrivenByTheEmbedder)
{
    std::string why;
    // A window without the announcement is refused.
    embedder->MakeWindow(50, 50);
    EXPECT_FALSE(embedder->Embed(why));

    ASSERT_EQ(view->attached(embedder->ParentHandle(), kPlatformTypeX11EmbedWindowID), kResultOk);
    attached = true;
    ASSERT_TRUE(embedder->Embed(why)) << why;
    EXPECT_EQ(embedder->ClientVersion(), 0);
    EXPECT_EQ(embedder->ClientFlags(), XEmbedTestHost::kMappedFlag);
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(embedder->GetDisplay(), embedder->Client(), &a));
    EXPECT_EQ(a.map_state, IsViewable);
    EXPECT_EQ(embedder->Timers(), 1u);
    EXPECT_EQ(embedder->Handlers(), 1u);
    EXPECT_TRUE(AwaitPicture());

    embedder->Send(XEmbedTestHost::kWindowActivate);
    embedder->Send(XEmbedTestHost::kFocusIn, XEmbedTestHost::kFocusFirst);
    ParameterChanges changes;
    changes.Add(kAcThresholdId, 0.9);
    plug->Apply(changes);
    reference.Apply(changes);
    EXPECT_TRUE(AwaitPicture()) << "no redraw after the embedder's messages";

    // The user's clicks still come through.
    int x = 0;
    int y = 0;
    const Bounds r = reference.ControlRect(Layout::kSidechainSwitch);
    Window child = 0;
    XTranslateCoordinates(embedder->GetDisplay(), embedder->Client(), DefaultRootWindow(embedder->GetDisplay()),
                          (r.left + r.right) / 2, (r.top + r.bottom) / 2, &x, &y, &child);
    XTestInput clicks(embedder->GetDisplay());
    clicks.Click(1, x, y);
    EXPECT_TRUE(
        embedder->RunUntil([&]() { return handler.Calls().size() >= 3; }, static_cast<int>(TestDeadline::LimitMs())));
    EXPECT_EQ(Trace(), "begin8 perform8 end8");

    embedder->Send(XEmbedTestHost::kFocusOut);
    embedder->Send(XEmbedTestHost::kWindowDeactivate);
    embedder->Run(50);
    Remove();
    EXPECT_EQ(embedder->Timers(), 0u);
    EXPECT_EQ(embedder->Handlers(), 0u);
    EXPECT_EQ(embedder->ChildrenOf(embedder->Parent()).size(), 1u);   // the refused window
}

#ifdef TIDEPULL_SNAPSHOT_EXE
TEST_F(EditorInHost, AtOneAndAHalfAndTwiceTheWindowShowsExactlyWhatTheSnapshotToolDraws)
{
    int w15 = 0, h15 = 0, w20 = 0, h20 = 0, w10 = 0, h10 = 0;
    const std::vector<uint32_t> at15 = SnapshotAtScale("1.5", w15, h15);
    const std::vector<uint32_t> at20 = SnapshotAtScale("2", w20, h20);
    const std::vector<uint32_t> at10 = SnapshotAtScale("1", w10, h10);
    ASSERT_EQ(std::make_pair(w15, h15), std::make_pair(1502, 405));
    ASSERT_EQ(std::make_pair(w20, h20), std::make_pair(2002, 540));
    ASSERT_EQ(std::make_pair(w10, h10), std::make_pair(1001, 270));

    // Given before the window opens, the host's scale opens it at its size.
    ASSERT_EQ(SetScale(1.5f), kResultOk);
    Attach();
    EXPECT_EQ(WindowSize(), std::make_pair(1502, 405));
    EXPECT_TRUE(Await([&]() { return DifferentPixels(Shown(Bounds(0, 0, w15, h15)), at15) == 0; }));
    EXPECT_EQ(DifferentPixels(Shown(Bounds(0, 0, w15, h15)), at15), 0u);

    // Changed while the window is open: the frame is asked for the new size,
    // the window takes it and everything is drawn anew.
    const size_t asked = host->resizes.size();
    ASSERT_EQ(SetScale(2.0f), kResultOk);
    ASSERT_EQ(host->resizes.size(), asked + 1);
    EXPECT_EQ(host->resizes.back().view, view);
    EXPECT_EQ(host->resizes.back().rect.right, 2002);
    EXPECT_EQ(host->resizes.back().rect.bottom, 540);
    EXPECT_EQ(WindowSize(), std::make_pair(2002, 540));
    EXPECT_TRUE(Await([&]() { return DifferentPixels(Shown(Bounds(0, 0, w20, h20)), at20) == 0; }));
    EXPECT_EQ(DifferentPixels(Shown(Bounds(0, 0, w20, h20)), at20), 0u);

    // And back: the 1x window is the 1x picture, as the tool draws it too.
    ASSERT_EQ(SetScale(1.0f), kResultOk);
    EXPECT_EQ(WindowSize(), std::make_pair(1001, 270));
    EXPECT_TRUE(Await([&]() { return DifferentPixels(ShownAll(), at10) == 0; }));
    EXPECT_EQ(DifferentPixels(ShownAll(), reference.Picture()), 0u);
}
#endif

TEST_F(EditorInHost, ADragOfNLogicalPixelsMovesAKnobAlikeAtEveryScale)
{
    Attach();
    const Bounds knob = reference.ControlRect(Layout::kAcThresholdKnob);
    double before = Normalized(kAcThresholdId);
    ASSERT_LT(before, 0.8);
    // Up and down by turns: the value stays inside its range.
    int direction = 1;
    for (float factor : {1.0f, 1.5f, 2.0f, 1.25f}) {
        SCOPED_TRACE(factor);
        ASSERT_EQ(SetScale(factor), kResultOk);
        const DisplayScale scale = DisplayScale::FromFactor(factor);
        ASSERT_EQ(WindowSize(),
                  std::make_pair(scale.DeviceLength(Layout::kWidth), scale.DeviceLength(Layout::kHeight)));
        const Bounds device = scale.ToDevice(knob);
        int x = 0;
        int y = 0;
        ScreenPoint((device.left + device.right) / 2, (device.top + device.bottom) / 2, x, y);
        // 20 logical pixels are 20 times the scale on the screen: a tenth of
        // the range on a 50-pixel knob geared 4, at every scale.
        const int dy = direction * scale.Quarters() * 20 / 4;
        const size_t calls = handler.Calls().size();
        input->Drag(x, y, x, y - dy, 3);
        EXPECT_TRUE(host->RunUntil(
            [&]() { return handler.Calls().size() > calls && handler.Calls().back().what == "end"; }, 15000));
        Settle();
        const double now = Normalized(kAcThresholdId);
        EXPECT_NEAR(now - before, direction * 0.1, 1e-9);
        before = now;
        direction = -direction;
    }
}

TEST_F(EditorInHost, TheDesktopsXftDpiScalesTheEditorUntilTheHostGivesAScale)
{
    SetDesktopDpi("144");
    Attach();
    EXPECT_EQ(WindowSize(), std::make_pair(1502, 405));
    ViewRect size;
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right, 1502);
    EXPECT_EQ(size.bottom, 405);
    // The host was asked for the size and its window grew to hold it.
    ASSERT_FALSE(host->resizes.empty());
    EXPECT_EQ(host->resizes.back().rect.right, 1502);
    EXPECT_EQ(host->resizes.back().rect.bottom, 405);
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(host->GetDisplay(), host->Parent(), &a));
    EXPECT_GE(a.width, 1502);
    EXPECT_GE(a.height, 405);
    Remove();

    // A value the desktop wrote oddly is 1.0.
    SetDesktopDpi("lots");
    Attach();
    EXPECT_EQ(WindowSize(), std::make_pair(1001, 270));
    Remove();

    // Once the host has given a scale, the desktop's no longer counts.
    SetDesktopDpi("192");
    ASSERT_EQ(SetScale(1.25f), kResultOk);
    Attach();
    EXPECT_EQ(WindowSize(), std::make_pair(1252, 338));
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right, 1252);
    Remove();
    SetDesktopDpi(nullptr);
}

// A host that exits with the editor still attached: its clean-up, set up
// before it loaded the plug-in, calls `removed` and releases everything
// after the library's static destructors have run.
TEST(HostExitingWithTheEditorAttached, CallsAfterTheStaticDestructorsAnswer)
{
    const ChildProcess::Result r =
        ChildProcess::Run(TIDEPULL_EXITING_HOST, {TIDEPULL_BUNDLE_BINARY}, std::chrono::seconds(60));
    ASSERT_TRUE(r.Ended()) << r.err;
    ASSERT_FALSE(r.Signalled()) << "ended by signal " << WTERMSIG(r.status) << "\n" << r.err;
    EXPECT_EQ(r.ExitCode(), 0) << r.err;
}

}   // namespace
