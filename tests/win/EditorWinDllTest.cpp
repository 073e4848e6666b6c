// The editor window of the plug-in DLL, opened the way a Windows host opens
// it and driven by real window messages: what reaches the host's component
// handler and its windows, and what the window shows.
#include "SharedPlugin.h"
#include "TestHostContext.h"
#include "TestParentWindow.h"
#include "TestRunner.h"
#include "ViewMenuHandler.h"

#include "CrossHost.h"
#include "gui/Editor.h"
#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_Png.h"
#include "pix/PIX_SysBitmap.h"
#include "plug/Tidepull.h"
#include "plug/TidepullEditorLayout.h"

#include "pluginterfaces/gui/iplugview.h"
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

// One plug instance from the DLL with its view attached to `parent` as "HWND".
class ViewSession {
public:
    explicit ViewSession(HWND parent)
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
        if (view && parent)
            attachResult = view->attached(parent, kPlatformTypeHWND);
    }

    ~ViewSession()
    {
        Remove();
        if (view)
            view->release();
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
    TestHostContext context;
    IPluginFactory* factory = nullptr;
    IComponent* component = nullptr;
    IEditController* controller = nullptr;
    IPlugView* view = nullptr;
    bool initialized = false;
    tresult attachResult = kResultFalse;
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

    // Draws the whole editor into its surface.
    const PIX_SysBitmap* Render() const
    {
        Editor* editor = GetEditor();
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

int CenterX(const RECT& r)
{
    return (r.left + r.right) / 2;
}

int CenterY(const RECT& r)
{
    return (r.top + r.bottom) / 2;
}

} // namespace

WIN_TEST(EditorWinOpensAChildWindowOfTheHostWindow)
{
    TestParentWindow parent(0, 0, kEditorWidth + 40, kEditorHeight + 40);
    ViewSession session(parent.Handle());
    REQUIRE(session.Attached());
    HWND editor = parent.EditorWindow();
    REQUIRE(editor != nullptr);
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
    TestParentWindow parent(0, 0, kEditorWidth, kEditorHeight);
    ViewSession session(parent.Handle());
    REQUIRE(session.Attached());
    HWND editor = parent.EditorWindow();
    REQUIRE(editor != nullptr);
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
    t.Check(std::fabs(after - expected) < 1e-9, "drag moved the knob by dy / height / gearing", __FILE__,
            __LINE__, TestText(before) + " -> " + TestText(after) + ", expected " + TestText(expected));
    if (!session.Handler().Calls().empty())
        CHECK(std::fabs(session.Handler().Calls()[1].value - after) < 1e-12);
}

WIN_TEST(EditorWinDragAboveTheWindowReadsSignedPositions)
{
    TestParentWindow parent(0, 0, kEditorWidth, kEditorHeight);
    ViewSession session(parent.Handle());
    REQUIRE(session.Attached());
    HWND editor = parent.EditorWindow();
    REQUIRE(editor != nullptr);
    const RECT knob = ControlRect(kInputKnob);
    const int x = CenterX(knob);
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, At(x, CenterY(knob)));
    // Captured moves far above the window arrive with negative y: the knob
    // goes all the way up, not down.
    SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, At(x, -400));
    SendMessageA(editor, WM_LBUTTONUP, 0, At(x, -400));
    CHECK_EQ(session.Param(Tidepull::kInputAtten), 1.0);
}

WIN_TEST(EditorWinWheelTurnsWholeNotchesOnly)
{
    TestParentWindow parent(0, 0, kEditorWidth, kEditorHeight);
    ViewSession session(parent.Handle());
    REQUIRE(session.Attached());
    HWND editor = parent.EditorWindow();
    REQUIRE(editor != nullptr);
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
}

WIN_TEST(EditorWinRightClickOpensTheHostContextMenuInstead)
{
    TestParentWindow parent(0, 0, kEditorWidth, kEditorHeight);
    ViewSession session(parent.Handle());
    REQUIRE(session.Attached());
    HWND editor = parent.EditorWindow();
    REQUIRE(editor != nullptr);
    const RECT knob = ControlRect(kInputKnob);
    const double before = session.Param(Tidepull::kInputAtten);

    SendMessageA(editor, WM_RBUTTONDOWN, MK_RBUTTON, At(CenterX(knob), CenterY(knob)));
    REQUIRE(session.Handler().Requests().size() == 1u);
    CHECK(session.Handler().Requests()[0].hasId);
    CHECK_EQ(session.Handler().Requests()[0].id, static_cast<ParamID>(Tidepull::kInputAtten));
    CHECK_EQ(session.Handler().Menu().Popups(), 1);
    CHECK_EQ(session.Handler().Menu().LastX(), CenterX(knob));
    CHECK_EQ(session.Handler().Menu().LastY(), CenterY(knob));
    // Not a gesture on the knob: no edit began, no drag follows.
    CHECK_EQ(session.Trace(), std::string(""));
    SendMessageA(editor, WM_MOUSEMOVE, MK_RBUTTON, At(CenterX(knob), CenterY(knob) - 30));
    CHECK_EQ(session.Param(Tidepull::kInputAtten), before);
}

WIN_TEST(EditorWinDoubleClickResetsAKnobAndFlipsASwitch)
{
    TestParentWindow parent(0, 0, kEditorWidth, kEditorHeight);
    ViewSession session(parent.Handle());
    REQUIRE(session.Attached());
    HWND editor = parent.EditorWindow();
    REQUIRE(editor != nullptr);
    const RECT knob = ControlRect(kInputKnob);
    const int x = CenterX(knob);
    const int y = CenterY(knob);
    const double initial = session.Param(Tidepull::kInputAtten);
    const int dy = initial > 0.5 ? 10 : -10;
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, At(x, y + dy));
    SendMessageA(editor, WM_LBUTTONUP, 0, At(x, y + dy));
    CHECK(session.Param(Tidepull::kInputAtten) != initial);
    SendMessageA(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, At(x, y));
    SendMessageA(editor, WM_LBUTTONUP, 0, At(x, y));
    CHECK_EQ(session.Param(Tidepull::kInputAtten), initial);

    const RECT sw = ControlRect(kBypassSwitch);
    REQUIRE(sw.bottom > sw.top);
    const double bypass = session.Param(Tidepull::kBypass);
    SendMessageA(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, At(CenterX(sw), CenterY(sw)));
    SendMessageA(editor, WM_LBUTTONUP, 0, At(CenterX(sw), CenterY(sw)));
    CHECK_EQ(session.Param(Tidepull::kBypass), 1.0 - bypass);
}

WIN_TEST(EditorWinKeysNoControlTakesReachTheHostWindow)
{
    TestParentWindow parent(0, 0, kEditorWidth, kEditorHeight);
    ViewSession session(parent.Handle());
    REQUIRE(session.Attached());
    HWND editor = parent.EditorWindow();
    REQUIRE(editor != nullptr);
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
    TestParentWindow parent(0, 0, kEditorWidth, kEditorHeight);
    ViewSession session(parent.Handle());
    REQUIRE(session.Attached());
    HWND editor = parent.EditorWindow();
    REQUIRE(editor != nullptr);
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
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, At(x, y + dy));
    SendMessageA(editor, WM_LBUTTONUP, 0, At(x, y + dy));
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
