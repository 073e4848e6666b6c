// The editor window of the plug-in DLL, opened the way a Windows host opens
// it and driven by real window messages: what reaches the host's component
// handler and its windows, and what the window shows.
#include "SharedPlugin.h"
#include "TestHostContext.h"
#include "TestParentWindow.h"
#include "TestRunner.h"
#include "ViewHostFrame.h"
#include "ViewMenuHandler.h"

#include "CrossHost.h"
#include "gui/DisplayScale.h"
#include "gui/Editor.h"
#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_Png.h"
#include "pix/PIX_SysBitmap.h"
#include "plug/Tidepull.h"
#include "plug/TidepullEditorLayout.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <windows.h>

#include <cmath>
#include <memory>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kEditorWidth = TidepullEditorLayout::kWidth;
constexpr int kEditorHeight = TidepullEditorLayout::kHeight;
constexpr double kKnobGearing = 4.0;
constexpr double kWheelStep = 0.01;

// Where a control of the layout sits: its strip's resource, frames and place.
struct Spot {
    int resourceId;
    int frames;
    int x;
    int y;
};
constexpr Spot kInputKnob = {101, 61, 202, 207};
constexpr Spot kBypassSwitch = {108, 2, 781, 197};

// The control's rectangle, sized from its strip in the DLL's resources.
RECT ControlRect(const Spot& spot)
{
    RECT r = {spot.x, spot.y, spot.x, spot.y};
    HMODULE dll = static_cast<HMODULE>(SharedPlugin().Handle());
    HRSRC res = FindResourceA(dll, MAKEINTRESOURCEA(spot.resourceId), "PNG");
    if (!res)
        return r;
    std::unique_ptr<PIX_MemBitmap> strip(
        PIX_PngFromMemory(LockResource(LoadResource(dll, res)), SizeofResource(dll, res)));
    if (!strip)
        return r;
    r.right = spot.x + strip->Width();
    r.bottom = spot.y + strip->Height() / spot.frames;
    return r;
}

LPARAM At(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(x)), static_cast<WORD>(static_cast<int16_t>(y)));
}

// One plug instance from the DLL with its view attached to `parent` as "HWND",
// in a frame that records the view's resize requests; with a scale, the host
// sets it before attaching.
class ViewSession {
public:
    explicit ViewSession(HWND parent, float scale = 0.0f)
    {
        factory = SharedPlugin().GetFactory();
        void* obj = nullptr;
        if (!factory || factory->createInstance(CrossHost::kClassId, IComponent::iid, &obj) != kResultOk || !obj)
            return;
        component = static_cast<IComponent*>(obj);
        if (component->initialize(static_cast<IHostApplication*>(&context)) != kResultOk)
            return;
        initialized = true;
        component->queryInterface(IEditController::iid, reinterpret_cast<void**>(&controller));
        if (!controller)
            return;
        controller->setComponentHandler(&handler);
        view = controller->createView(ViewType::kEditor);
        if (view)
            view->setFrame(&frame);
        if (view && scale > 0.0f)
            SetScale(scale);
        if (view && parent)
            attachResult = view->attached(parent, kPlatformTypeHWND);
    }

    ~ViewSession()
    {
        Remove();
        if (view) {
            view->setFrame(nullptr);
            view->release();
        }
        if (controller) {
            controller->setComponentHandler(nullptr);
            controller->release();
        }
        if (initialized)
            component->terminate();
        if (component)
            component->release();
        if (factory)
            factory->release();
    }

    ViewSession(const ViewSession&) = delete;
    ViewSession& operator=(const ViewSession&) = delete;

    void Remove()
    {
        if (view && attachResult == kResultOk)
            view->removed();
        attachResult = kResultFalse;
    }

    bool Attached() const { return attachResult == kResultOk; }
    IPlugView* View() const { return view; }
    const ViewHostFrame& Frame() const { return frame; }

    // The host's content scale.
    tresult SetScale(float factor)
    {
        IPlugViewContentScaleSupport* scaling = nullptr;
        if (!view ||
            view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)) != kResultOk ||
            !scaling)
            return kNoInterface;
        const tresult r = scaling->setContentScaleFactor(factor);
        scaling->release();
        return r;
    }
    double Param(int id) const { return controller->getParamNormalized(static_cast<ParamID>(id)); }
    ViewMenuHandler& Handler() { return handler; }

    // "begin 0, perform 0, end 0": the handler's calls from `from` on.
    std::string Trace(size_t from = 0) const
    {
        std::string s;
        const auto& calls = handler.Calls();
        for (size_t i = from; i < calls.size(); ++i) {
            if (!s.empty())
                s += ", ";
            s += calls[i].what + " " + std::to_string(calls[i].id);
        }
        return s;
    }

private:
    ViewMenuHandler handler;
    ViewHostFrame frame;
    TestHostContext context;
    IPluginFactory* factory = nullptr;
    IComponent* component = nullptr;
    IEditController* controller = nullptr;
    IPlugView* view = nullptr;
    bool initialized = false;
    tresult attachResult = kResultFalse;
};

// The host's window with one plug's editor attached in it: the set-up of
// most tests here. `editor` is null when anything on the way failed.
struct OpenEditor {
    explicit OpenEditor(int width = kEditorWidth, int height = kEditorHeight, float scale = 0.0f)
        : parent(0, 0, width, height),
          session(parent.Handle(), scale),
          editor(session.Attached() ? parent.EditorWindow() : nullptr)
    {
    }

    TestParentWindow parent;
    ViewSession session;
    HWND editor;
};

// The same plug built inside this program, drawn without a window: the
// reference picture of the editor.
class LocalPlug {
public:
    LocalPlug()
    {
        plug = new Tidepull();
        plug->initialize(static_cast<IHostApplication*>(&context));
    }
    ~LocalPlug()
    {
        plug->terminate();
        plug->release();
    }
    LocalPlug(const LocalPlug&) = delete;
    LocalPlug& operator=(const LocalPlug&) = delete;

    Editor* GetEditor() const { return dynamic_cast<Editor*>(plug->GetEditor()); }

    // Draws the whole editor into its surface, at a display scale when given.
    const PIX_SysBitmap* Render(double scale = 0.0) const
    {
        Editor* editor = GetEditor();
        if (editor && scale > 0.0)
            editor->SetDisplayScale(DisplayScale::FromFactor(scale));
        if (!editor || !editor->DrawingSurface())
            return nullptr;
        editor->Render(Bounds(0, 0, editor->Width(), editor->Height()));
        return editor->DrawingSurface();
    }

private:
    TestHostContext context;
    Tidepull* plug = nullptr;
};

// What the window shows now, read back through its device context.
bool ReadWindow(HWND window, PIX_SysBitmap& out)
{
    RECT r;
    GetClientRect(window, &r);
    out.Resize(r.right, r.bottom);
    HDC dc = GetDC(window);
    if (!dc || !out.Pixels())
        return false;
    const BOOL ok = BitBlt(static_cast<HDC>(out.DeviceContext()), 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    GdiFlush();
    return ok != FALSE;
}

// Pixels whose colour differs (alpha is the screen's own and ignored).
int CountDifferences(const PIX_IBitmap& a, const PIX_IBitmap& b, std::string* first)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return -1;
    int count = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const PIX_Pixel32 pa = a.Pixels()[y * a.Stride() + x] & 0xFFFFFFu;
            const PIX_Pixel32 pb = b.Pixels()[y * b.Stride() + x] & 0xFFFFFFu;
            if (pa == pb)
                continue;
            if (count++ == 0 && first) {
                char text[96];
                std::snprintf(text, sizeof text, "first at (%d, %d): %06x vs %06x", x, y, pa, pb);
                *first = text;
            }
        }
    return count;
}

// A left-button drag straight up or down, in one move.
void Drag(HWND window, int x, int y, int toY)
{
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, At(x, toY));
    SendMessageA(window, WM_LBUTTONUP, 0, At(x, toY));
}

int CenterX(const RECT& r)
{
    return (r.left + r.right) / 2;
}

int CenterY(const RECT& r)
{
    return (r.top + r.bottom) / 2;
}

}   // namespace

WIN_TEST(EditorWinOpensAChildWindowOfTheHostWindow)
{
    OpenEditor open(kEditorWidth + 40, kEditorHeight + 40);
    REQUIRE(open.editor != nullptr);
    auto& [parent, session, editor] = open;
    CHECK_EQ(GetParent(editor), parent.Handle());
    CHECK((GetWindowLongA(editor, GWL_STYLE) & (WS_CHILD | WS_VISIBLE)) == (WS_CHILD | WS_VISIBLE));
    RECT r;
    GetClientRect(editor, &r);
    CHECK_EQ(r.right, kEditorWidth);
    CHECK_EQ(r.bottom, kEditorHeight);
    char title[32] = {};
    GetWindowTextA(editor, title, sizeof title);
    CHECK_EQ(std::string(title), std::string("Tidepull"));
    CHECK_EQ(reinterpret_cast<HMODULE>(GetClassLongPtrA(editor, GCLP_HMODULE)),
             static_cast<HMODULE>(SharedPlugin().Handle()));
    CHECK((GetClassLongA(editor, GCL_STYLE) & CS_DBLCLKS) != 0);

    session.Remove();
    CHECK(parent.EditorWindow() == nullptr);
}

WIN_TEST(EditorWinDragOnAKnobEditsItsParameterThroughTheHost)
{
    OpenEditor open;
    REQUIRE(open.editor != nullptr);
    auto& [parent, session, editor] = open;
    const RECT knob = ControlRect(kInputKnob);
    REQUIRE(knob.bottom > knob.top);
    const int knobHeight = knob.bottom - knob.top;
    const int x = CenterX(knob);
    const int y = CenterY(knob);
    const double before = session.Param(Tidepull::kInputAtten);

    // Upward raises the value; drag the way that has room.
    const int dy = before > 0.5 ? 12 : -12;
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    CHECK(GetCapture() == editor);
    SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, At(x, y + dy));
    // The same place again is no movement.
    SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, At(x, y + dy));
    SendMessageA(editor, WM_LBUTTONUP, 0, At(x, y + dy));
    CHECK(GetCapture() != editor);

    CHECK_EQ(session.Trace(), std::string("begin 0, perform 0, end 0"));
    const double after = session.Param(Tidepull::kInputAtten);
    const double expected = before - dy / static_cast<double>(knobHeight) / kKnobGearing;
    t.Check(std::fabs(after - expected) < 1e-9, "drag moved the knob by dy / height / gearing", __FILE__, __LINE__,
            TestText(before) + " -> " + TestText(after) + ", expected " + TestText(expected));
    if (!session.Handler().Calls().empty())
        CHECK(std::fabs(session.Handler().Calls()[1].value - after) < 1e-12);
}

WIN_TEST(EditorWinDragAboveTheWindowReadsSignedPositions)
{
    OpenEditor open;
    REQUIRE(open.editor != nullptr);
    auto& [parent, session, editor] = open;
    const RECT knob = ControlRect(kInputKnob);
    const int x = CenterX(knob);
    // Captured moves far above the window arrive with negative y: the knob
    // goes all the way up, not down.
    Drag(editor, x, CenterY(knob), -400);
    CHECK_EQ(session.Param(Tidepull::kInputAtten), 1.0);
}

WIN_TEST(EditorWinWheelTurnsWholeNotchesOnly)
{
    OpenEditor open;
    REQUIRE(open.editor != nullptr);
    auto& [parent, session, editor] = open;
    const RECT knob = ControlRect(kInputKnob);
    POINT screen = {CenterX(knob), CenterY(knob)};
    ClientToScreen(editor, &screen);
    const double before = session.Param(Tidepull::kInputAtten);
    const int direction = before > 0.5 ? -1 : 1;

    SendMessageA(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(60 * direction)), At(screen.x, screen.y));
    SendMessageA(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(119 * direction)), At(screen.x, screen.y));
    CHECK_EQ(session.Param(Tidepull::kInputAtten), before);

    SendMessageA(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(240 * direction)), At(screen.x, screen.y));
    const double after = session.Param(Tidepull::kInputAtten);
    t.Check(std::fabs(after - (before + 2 * direction * kWheelStep)) < 1e-9, "two notches", __FILE__, __LINE__,
            TestText(before) + " -> " + TestText(after));

    // One edit for the burst, ended by the editor's timer once the wheel
    // rests.
    CHECK_EQ(session.Trace(), std::string("begin 0, perform 0, perform 0, perform 0"));
    CHECK(TestParentWindow::PumpUntil([&]() { return session.Handler().Calls().size() >= 5; }));
    CHECK_EQ(session.Trace(), std::string("begin 0, perform 0, perform 0, perform 0, end 0"));
}

WIN_TEST(EditorWinRightClickOpensTheHostContextMenuInstead)
{
    OpenEditor open;
    REQUIRE(open.editor != nullptr);
    auto& [parent, session, editor] = open;
    const RECT knob = ControlRect(kInputKnob);
    const double before = session.Param(Tidepull::kInputAtten);

    SendMessageA(editor, WM_RBUTTONDOWN, MK_RBUTTON, At(CenterX(knob), CenterY(knob)));
    REQUIRE(session.Handler().Requests().size() == 1u);
    CHECK(session.Handler().Requests()[0].hasId);
    CHECK_EQ(session.Handler().Requests()[0].id, static_cast<ParamID>(Tidepull::kInputAtten));
    CHECK_EQ(session.Handler().Menu().Popups(), 1);
    CHECK_EQ(session.Handler().Menu().LastX(), CenterX(knob));
    CHECK_EQ(session.Handler().Menu().LastY(), CenterY(knob));
    // Not a gesture on the knob: no edit began, no drag follows, and the
    // release ends none.
    CHECK_EQ(session.Trace(), std::string(""));
    SendMessageA(editor, WM_MOUSEMOVE, MK_RBUTTON, At(CenterX(knob), CenterY(knob) - 30));
    CHECK_EQ(session.Param(Tidepull::kInputAtten), before);
    SendMessageA(editor, WM_RBUTTONUP, 0, At(CenterX(knob), CenterY(knob) - 30));
    CHECK_EQ(session.Trace(), std::string(""));
}

WIN_TEST(EditorWinDoubleClickResetsAKnobAndFlipsASwitch)
{
    OpenEditor open;
    REQUIRE(open.editor != nullptr);
    auto& [parent, session, editor] = open;
    const RECT knob = ControlRect(kInputKnob);
    const int x = CenterX(knob);
    const int y = CenterY(knob);
    const double initial = session.Param(Tidepull::kInputAtten);
    const int dy = initial > 0.5 ? 10 : -10;
    Drag(editor, x, y, y + dy);
    CHECK(session.Param(Tidepull::kInputAtten) != initial);
    const size_t afterDrag = session.Handler().Calls().size();
    SendMessageA(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, At(x, y));
    SendMessageA(editor, WM_LBUTTONUP, 0, At(x, y));
    CHECK_EQ(session.Param(Tidepull::kInputAtten), initial);
    // An edit of its own; the release after it ends nothing more.
    CHECK_EQ(session.Trace(afterDrag), std::string("begin 0, perform 0, end 0"));

    const RECT sw = ControlRect(kBypassSwitch);
    REQUIRE(sw.bottom > sw.top);
    const double bypass = session.Param(Tidepull::kBypass);
    const size_t beforeSwitch = session.Handler().Calls().size();
    SendMessageA(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, At(CenterX(sw), CenterY(sw)));
    SendMessageA(editor, WM_LBUTTONUP, 0, At(CenterX(sw), CenterY(sw)));
    CHECK_EQ(session.Param(Tidepull::kBypass), 1.0 - bypass);
    const std::string id = std::to_string(static_cast<int>(Tidepull::kBypass));
    CHECK_EQ(session.Trace(beforeSwitch), "begin " + id + ", perform " + id + ", end " + id);
}

WIN_TEST(EditorWinKeysNoControlTakesReachTheHostWindow)
{
    OpenEditor open;
    REQUIRE(open.editor != nullptr);
    auto& [parent, session, editor] = open;
    parent.ClearKeys();
    const LPARAM repeat = 1;
    for (WPARAM key : {static_cast<WPARAM>(VK_F12), static_cast<WPARAM>(VK_TAB), static_cast<WPARAM>(VK_UP),
                       static_cast<WPARAM>('A')})
        SendMessageA(editor, WM_KEYDOWN, key, repeat);
    SendMessageA(editor, WM_KEYUP, 'A', repeat | (1u << 30) | (1u << 31));
    REQUIRE(parent.KeyDowns().size() == 4u);
    CHECK_EQ(parent.KeyDowns()[0], static_cast<WPARAM>(VK_F12));
    CHECK_EQ(parent.KeyDowns()[1], static_cast<WPARAM>(VK_TAB));
    CHECK_EQ(parent.KeyDowns()[2], static_cast<WPARAM>(VK_UP));
    CHECK_EQ(parent.KeyDowns()[3], static_cast<WPARAM>('A'));
    REQUIRE(parent.KeyUps().size() == 1u);
    CHECK_EQ(parent.KeyUps()[0], static_cast<WPARAM>('A'));
    CHECK_EQ(session.Trace(), std::string(""));
}

WIN_TEST(EditorWinShowsExactlyTheEditorDrawnWithoutAWindow)
{
    OpenEditor open;
    REQUIRE(open.editor != nullptr);
    auto& [parent, session, editor] = open;
    LocalPlug local;
    const PIX_SysBitmap* expected = local.Render();
    REQUIRE(expected != nullptr);
    // The first picture comes from the window's own timer: messages are
    // dispatched until the window shows it (or the deadline passes).
    PIX_SysBitmap shown;
    std::string where;
    int differing = -1;
    TestParentWindow::PumpUntil([&]() {
        if (!ReadWindow(editor, shown))
            return false;
        differing = CountDifferences(shown, *expected, &where);
        return differing == 0;
    });
    REQUIRE(ReadWindow(editor, shown));
    differing = CountDifferences(shown, *expected, &where);
    t.Check(differing == 0, "window shows the reference picture", __FILE__, __LINE__,
            TestText(differing) + " pixels differ, " + where);

    // A drag, then one redraw tick: only the knob changes, in both.
    const RECT knob = ControlRect(kInputKnob);
    const int x = CenterX(knob);
    const int y = CenterY(knob);
    const int dy = session.Param(Tidepull::kInputAtten) > 0.5 ? 40 : -40;
    Drag(editor, x, y, y + dy);
    SendMessageA(editor, WM_TIMER, 2, 0);
    Editor* localEditor = local.GetEditor();
    MouseModifiers held;
    held.left = true;
    localEditor->HandleMouseDown(x, y, held);
    localEditor->HandleMouseDrag(x, y + dy, held);
    localEditor->HandleMouseUp(x, y + dy, MouseModifiers());
    expected = local.Render();

    PIX_SysBitmap before;
    before.Resize(shown.Width(), shown.Height());
    for (int i = 0; i < shown.Stride() * shown.Height(); ++i)
        before.Pixels()[i] = shown.Pixels()[i];
    REQUIRE(ReadWindow(editor, shown));
    differing = CountDifferences(shown, *expected, &where);
    t.Check(differing == 0, "window shows the moved knob", __FILE__, __LINE__,
            TestText(differing) + " pixels differ, " + where);
    CHECK(CountDifferences(shown, before, nullptr) > 0);
}

WIN_TEST(EditorWinTwoViewsShareOneRegistrationOfTheClass)
{
    HMODULE dll = static_cast<HMODULE>(SharedPlugin().Handle());
    WNDCLASSA info;
    CHECK(!GetClassInfoA(dll, "TidepullEditorClass", &info));
    TestParentWindow parent(0, 0, kEditorWidth, kEditorHeight * 2);
    auto first = std::make_unique<ViewSession>(parent.Handle());
    auto second = std::make_unique<ViewSession>(parent.Handle());
    REQUIRE(first->Attached() && second->Attached());
    HWND a = FindWindowExA(parent.Handle(), nullptr, "TidepullEditorClass", nullptr);
    HWND b = a ? FindWindowExA(parent.Handle(), a, "TidepullEditorClass", nullptr) : nullptr;
    CHECK(a != nullptr && b != nullptr);
    CHECK(GetClassInfoA(dll, "TidepullEditorClass", &info));

    first.reset();
    CHECK(GetClassInfoA(dll, "TidepullEditorClass", &info));
    HWND remaining = parent.EditorWindow();
    REQUIRE(remaining != nullptr);
    // The remaining window still works.
    const RECT knob = ControlRect(kInputKnob);
    SendMessageA(remaining, WM_LBUTTONDOWN, MK_LBUTTON, At(CenterX(knob), CenterY(knob)));
    SendMessageA(remaining, WM_LBUTTONUP, 0, At(CenterX(knob), CenterY(knob)));
    CHECK_EQ(second->Trace(), std::string("begin 0, end 0"));

    second.reset();
    CHECK(parent.EditorWindow() == nullptr);
    CHECK(!GetClassInfoA(dll, "TidepullEditorClass", &info));
}

namespace {

// The client size of a window.
std::pair<int, int> ClientSize(HWND window)
{
    RECT r = {};
    GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

std::pair<int, int> DeviceSize(double factor)
{
    const DisplayScale s = DisplayScale::FromFactor(factor);
    return {s.DeviceLength(kEditorWidth), s.DeviceLength(kEditorHeight)};
}

// Pumps the window's messages until it shows `expected` (at most 15 s);
// the pixels that still differ.
int AwaitPicture(HWND editor, const PIX_IBitmap& expected, std::string& where)
{
    PIX_SysBitmap shown;
    int differing = -1;
    const DWORD end = GetTickCount() + 15000;
    do {
        TestParentWindow::Pump(40);
        if (ReadWindow(editor, shown))
            differing = CountDifferences(shown, expected, &where);
    } while (differing != 0 && static_cast<LONG>(GetTickCount() - end) < 0);
    return differing;
}

// A monitor of another resolution, as Windows tells a top-level window.
void SendResolution(HWND window, int dpi)
{
    RECT suggested = {0, 0, 0, 0};
    GetWindowRect(window, &suggested);
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

}   // namespace

WIN_TEST(EditorWinDllCarriesTheDoubleDensityStrips)
{
    HMODULE dll = static_cast<HMODULE>(SharedPlugin().Handle());
    for (int id = 101; id <= 111; ++id) {
        HRSRC one = FindResourceA(dll, MAKEINTRESOURCEA(id), "PNG");
        HRSRC two = FindResourceA(dll, MAKEINTRESOURCEA(id + 2000), "PNG");
        REQUIRE(one != nullptr && two != nullptr);
        auto decode = [dll](HRSRC res) {
            return std::unique_ptr<PIX_MemBitmap>(
                PIX_PngFromMemory(LockResource(LoadResource(dll, res)), SizeofResource(dll, res)));
        };
        const std::unique_ptr<PIX_MemBitmap> a = decode(one);
        const std::unique_ptr<PIX_MemBitmap> b = decode(two);
        REQUIRE(a && b);
        CHECK_EQ(b->Width(), 2 * a->Width());
        CHECK_EQ(b->Height(), 2 * a->Height());
    }
}

WIN_TEST(EditorWinAtOneAndAHalfAndTwiceShowsExactlyTheHeadlessPicture)
{
    OpenEditor open(2100, 600, 1.5f);
    REQUIRE(open.editor != nullptr);
    auto& [parent, session, editor] = open;
    CHECK(ClientSize(editor) == DeviceSize(1.5));
    ViewRect size;
    REQUIRE(session.View()->getSize(&size) == kResultOk);
    CHECK_EQ(size.right, 1502);
    CHECK_EQ(size.bottom, 405);

    LocalPlug local;
    std::string where;
    int differing = AwaitPicture(editor, *local.Render(1.5), where);
    t.Check(differing == 0, "the window at 1.5 shows the headless picture", __FILE__, __LINE__,
            TestText(differing) + " pixels differ, " + where);

    // The host changes its scale while the window is open: the frame is
    // asked for the size, the window takes it and is drawn anew.
    const size_t asked = session.Frame().Resizes().size();
    REQUIRE(session.SetScale(2.0f) == kResultOk);
    REQUIRE(session.Frame().Resizes().size() == asked + 1);
    CHECK(session.Frame().Resizes().back().view == session.View());
    CHECK_EQ(session.Frame().Resizes().back().rect.right, 2002);
    CHECK_EQ(session.Frame().Resizes().back().rect.bottom, 540);
    CHECK(ClientSize(editor) == DeviceSize(2.0));
    differing = AwaitPicture(editor, *local.Render(2.0), where);
    t.Check(differing == 0, "the window at 2 shows the headless picture", __FILE__, __LINE__,
            TestText(differing) + " pixels differ, " + where);
}

WIN_TEST(EditorWinFollowsTheMonitorsResolutionUntilTheHostGivesAScale)
{
    OpenEditor open(2100, 600);
    REQUIRE(open.editor != nullptr);
    auto& [parent, session, editor] = open;
    // Opened at the resolution of the host's window.
    HDC dc = GetDC(parent.Handle());
    const int screenDpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(parent.Handle(), dc);
    CHECK(ClientSize(editor) == DeviceSize(screenDpi / 96.0));

    // Moved to a 150 % monitor.
    const size_t asked = session.Frame().Resizes().size();
    SendResolution(editor, 144);
    CHECK(ClientSize(editor) == DeviceSize(1.5));
    REQUIRE(session.Frame().Resizes().size() == asked + 1);
    CHECK_EQ(session.Frame().Resizes().back().rect.right, 1502);
    CHECK_EQ(session.Frame().Resizes().back().rect.bottom, 405);
    LocalPlug local;
    std::string where;
    const int differing = AwaitPicture(editor, *local.Render(1.5), where);
    t.Check(differing == 0, "redrawn at 1.5 after the resolution changed", __FILE__, __LINE__,
            TestText(differing) + " pixels differ, " + where);

    // A child hears of its parent's change and asks the window's own.
    SendMessageA(editor, WM_DPICHANGED_AFTERPARENT, 0, 0);
    CHECK(ClientSize(editor) == DeviceSize(screenDpi / 96.0));

    // The host's scale wins from then on.
    REQUIRE(session.SetScale(1.25f) == kResultOk);
    CHECK(ClientSize(editor) == DeviceSize(1.25));
    const size_t hostAsked = session.Frame().Resizes().size();
    SendResolution(editor, 192);
    SendMessageA(editor, WM_DPICHANGED_AFTERPARENT, 0, 0);
    CHECK(ClientSize(editor) == DeviceSize(1.25));
    CHECK_EQ(session.Frame().Resizes().size(), hostAsked);
}

WIN_TEST(EditorWinDragOfNLogicalPixelsGivesTheSameChangeAtEveryScale)
{
    OpenEditor open(2100, 600);
    REQUIRE(open.editor != nullptr);
    auto& [parent, session, editor] = open;
    const RECT knob = ControlRect(kInputKnob);
    const Bounds logical(knob.left, knob.top, knob.right, knob.bottom);
    double atOne = 0.0;
    int direction = session.Param(Tidepull::kInputAtten) > 0.5 ? 1 : -1;
    for (float factor : {1.0f, 1.25f, 1.5f, 1.75f, 2.0f}) {
        REQUIRE(session.SetScale(factor) == kResultOk);
        const DisplayScale scale = DisplayScale::FromFactor(factor);
        CHECK(ClientSize(editor) == DeviceSize(factor));
        const Bounds device = scale.ToDevice(logical);
        const int x = (device.left + device.right) / 2;
        const int y = (device.top + device.bottom) / 2;
        // 24 logical pixels, in device pixels at this scale.
        const int dy = direction * 24 * scale.Quarters() / 4;
        const double before = session.Param(Tidepull::kInputAtten);
        SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
        SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, At(x, y + dy / 2));
        SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, At(x, y + dy));
        SendMessageA(editor, WM_LBUTTONUP, 0, At(x, y + dy));
        const double change = std::fabs(session.Param(Tidepull::kInputAtten) - before);
        if (factor == 1.0f)
            atOne = change;
        t.Check(std::fabs(change - atOne) < 1e-12 && change > 0.0, "the same change at every scale", __FILE__, __LINE__,
                TestText(change) + " at " + TestText(factor) + ", " + TestText(atOne) + " at 1");
        direction = -direction;
    }
}
