#include "gui/x11/EditorX11.h"

#include "gui/VirtualKeyMap.h"
#include "gui/HostEventLoop.h"
#include "gui/x11/X11Connection.h"
#include "gui/x11/X11ErrorTrap.h"
#include "gui/x11/X11KeyMap.h"
#include "gui/x11/X11PopupMenu.h"
#include "gui/x11/X11TextEntry.h"
#include "gui/x11/XftDpiReader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr long kEditorEvents =
    ButtonPressMask | ButtonReleaseMask | PointerMotionMask | LeaveWindowMask | KeyPressMask | StructureNotifyMask;

constexpr unsigned kWheelUp = 4;
constexpr unsigned kWheelDown = 5;

Window WindowOf(void* handle)
{
    return static_cast<Window>(reinterpret_cast<uintptr_t>(handle));
}

void* HandleOf(Window w)
{
    return reinterpret_cast<void*>(static_cast<uintptr_t>(w));
}

}   // namespace

EditorX11::EditorX11(PlugCore* plug, int32_t width, int32_t height, int32_t frameRate)
    : WindowHost(plug, width, height, frameRate, this),
      connection(X11Connection::Shared())
{
}

EditorX11::~EditorX11()
{
    // The window goes while this object is whole: the layer's own
    // destructor would find the platform half gone.
    DestroyEditorWindow();
}

void* EditorX11::CreateEditorWindow(void* parentHandle)
{
    // Unless the host gave a scale, the desktop's: the window opens at it,
    // and the host is asked for the new size first.
    const bool connected = !HostGaveScale() && connection.Acquire();
    if (connected)
        SetSystemDisplayScale(XftDpiReader::ScaleOf(connection.GetDisplay()));
    void* handle = WindowHost::CreateEditorWindow(parentHandle);
    if (connected)
        connection.Release();
    if (handle)
        OnTimer();
    return handle;
}

// ---- the window ----

void* EditorX11::OpenWindow(void* parentHandle, const Bounds& place, int32_t timerPeriodMs)
{
    const Window parentWindow = WindowOf(parentHandle);
    if (!parentWindow || !connection.Acquire())
        return nullptr;
    display = connection.GetDisplay();
    const int32_t w = std::max(1, place.right - place.left);
    const int32_t h = std::max(1, place.bottom - place.top);

    bool ok = false;
    {
        X11ErrorTrap trap(display);
        XWindowAttributes parentAttributes;
        // The host's window may already be gone, or never have been one.
        if (XGetWindowAttributes(display, parentWindow, &parentAttributes) && trap.Sync()) {
            Screen* screen = parentAttributes.screen;
            Visual* visual = DefaultVisualOfScreen(screen);
            const int depth = DefaultDepthOfScreen(screen);
            if (presenter.Create(display, RootWindowOfScreen(screen), visual, depth, w, h,
                                 connection.HasSharedMemory())) {
                XSetWindowAttributes a;
                a.background_pixmap = presenter.Picture();
                a.border_pixel = 0;
                a.colormap = DefaultColormapOfScreen(screen);
                a.event_mask = kEditorEvents;
                a.bit_gravity = NorthWestGravity;
                window = XCreateWindow(display, parentWindow, place.left, place.top, static_cast<unsigned>(w),
                                       static_cast<unsigned>(h), 0, depth, InputOutput, visual,
                                       CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask | CWBitGravity, &a);
                presenter.SetWindow(window);
                // Announced before the window shows: XEmbed hosts look for
                // it as soon as they see the window.
                embedding.Announce(display, window);
                XMapWindow(display, window);
                ok = trap.Sync();
                if (!ok) {
                    XDestroyWindow(display, window);
                    presenter.Destroy();
                    window = 0;
                }
            }
        }
    }
    if (!ok) {
        display = nullptr;
        connection.Release();
        return nullptr;
    }

    parent = parentWindow;
    windowAlive = true;
    placement = Bounds(place.left, place.top, place.left + w, place.top + h);
    pending = XCreateRegion();
    connection.Register(window, this);
    windowThread = std::this_thread::get_id();
    periodMs = timerPeriodMs;
    lastTick = Clock::now();
    holdsMouse = false;
    leaveTracked = false;
    clicks.Reset();

    activeLoop = nextLoop;
    timerRunning = false;
    if (activeLoop) {
        if (activeLoop->WatchFd(connection.Fd(), &connection))
            connection.WatchStarted();
        timerRunning = activeLoop->StartTimer(timerPeriodMs, this);
    }
    return HandleOf(window);
}

void EditorX11::CloseWindow()
{
    if (!display)
        return;
    if (activeLoop) {
        activeLoop->StopTimer();
        activeLoop->UnwatchFd();
        activeLoop = nullptr;
    }
    timerRunning = false;
    textEntry.reset();
    {
        X11ErrorTrap trap(display);
        if (pointerHidden)
            ShowCursor(true);
        connection.Unregister(window);
        // When the host destroyed its window first, ours went with it; the
        // request then fails harmlessly inside the trap.
        if (windowAlive)
            XDestroyWindow(display, window);
        presenter.Destroy();
    }
    if (pending)
        XDestroyRegion(pending);
    pending = nullptr;
    window = 0;
    parent = 0;
    windowAlive = false;
    holdsMouse = false;
    embedding.Reset();
    display = nullptr;
    connection.Release();
}

bool EditorX11::WindowPlacement(Bounds& place) const
{
    if (!window)
        return false;
    place = placement;
    return true;
}

void EditorX11::ResizeWindowBy(int32_t dw, int32_t dh, bool growParents)
{
    if (!WindowAlive())
        return;
    X11ErrorTrap trap(display);
    const int32_t w = std::max(1, placement.right - placement.left + dw);
    const int32_t h = std::max(1, placement.bottom - placement.top + dh);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return;
    if (presenter.Create(display, attributes.root, attributes.visual, attributes.depth, w, h,
                         connection.HasSharedMemory())) {
        presenter.SetWindow(window);
        XSetWindowBackgroundPixmap(display, window, presenter.Picture());
    }
    XResizeWindow(display, window, static_cast<unsigned>(w), static_cast<unsigned>(h));
    placement.right = placement.left + w;
    placement.bottom = placement.top + h;
    if (!growParents)
        return;
    // The host's windows around the editor grow with it: the parent and its
    // parent, never the root.
    Window current = window;
    for (int level = 0; level < 2; ++level) {
        Window root = 0;
        Window up = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, current, &root, &up, &children, &count))
            break;
        if (children)
            XFree(children);
        if (!up || up == root)
            break;
        XWindowAttributes a;
        if (!XGetWindowAttributes(display, up, &a))
            break;
        XResizeWindow(display, up, static_cast<unsigned>(std::max(1, a.width + dw)),
                      static_cast<unsigned>(std::max(1, a.height + dh)));
        current = up;
    }
}

// ---- timer and painting ----

void EditorX11::OnTimerTick()
{
    // Events first: a host whose descriptor watch lags still gets input.
    connection.Dispatch();
    Tick();
}

void EditorX11::Tick()
{
    lastTick = Clock::now();
    OnTimer();
}

void EditorX11::Pump()
{
    if (!window || DrivenByHostLoop() || std::this_thread::get_id() != windowThread)
        return;
    connection.Dispatch();
    // Three quarters of a period will do: a host calling at about the frame
    // rate (LV2 hosts' idle at 30 Hz) then draws on every call, not every other.
    if (window && Clock::now() - lastTick >= std::chrono::milliseconds(periodMs - periodMs / 4))
        Tick();
}

void EditorX11::Invalidate(const Bounds& rect)
{
    if (!pending || rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    XRectangle r;
    r.x = static_cast<short>(rect.left);
    r.y = static_cast<short>(rect.top);
    r.width = static_cast<unsigned short>(rect.right - rect.left);
    r.height = static_cast<unsigned short>(rect.bottom - rect.top);
    XUnionRectWithRegion(&r, pending, pending);
}

void EditorX11::Validate(const Bounds& rect)
{
    if (!pending || rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    Region cut = XCreateRegion();
    XRectangle r;
    r.x = static_cast<short>(rect.left);
    r.y = static_cast<short>(rect.top);
    r.width = static_cast<unsigned short>(rect.right - rect.left);
    r.height = static_cast<unsigned short>(rect.bottom - rect.top);
    XUnionRectWithRegion(&r, cut, cut);
    XSubtractRegion(pending, cut, pending);
    XDestroyRegion(cut);
}

void EditorX11::ClearPending()
{
    XDestroyRegion(pending);
    pending = XCreateRegion();
}

void EditorX11::UpdateNow()
{
    if (!pending || XEmptyRegion(pending))
        return;
    XRectangle box;
    XClipBox(pending, &box);
    ClearPending();
    OnPaint(Bounds(box.x, box.y, box.x + box.width, box.y + box.height));
}

bool EditorX11::Present(const PIX_SysBitmap& surface, const Bounds& rect)
{
    if (!WindowAlive())
        return true;
    return presenter.Present(surface, rect);
}

// ---- input ----

void EditorX11::FocusWindow()
{
    // The host keeps the keyboard focus (see the class comment); keys still
    // reach the editor while the pointer is over it.
}

// The pointer relative to the root and to the window (the latter only
// meaningful when sameScreen); false when the window is gone or the server
// refused.
bool EditorX11::QueryPointer(int& rootX, int& rootY, int& winX, int& winY, bool& sameScreen) const
{
    if (!WindowAlive())
        return false;
    X11ErrorTrap trap(display);
    Window root = 0;
    Window child = 0;
    unsigned mask = 0;
    sameScreen = XQueryPointer(display, window, &root, &child, &rootX, &rootY, &winX, &winY, &mask);
    return trap.ErrorCount() == 0;
}

bool EditorX11::CursorPosition(int32_t& x, int32_t& y) const
{
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    bool sameScreen = false;
    if (!QueryPointer(rootX, rootY, winX, winY, sameScreen) || !sameScreen)
        return false;
    x = winX;
    y = winY;
    return true;
}

void EditorX11::TrackMouseLeave(bool)
{
    // Hover is only asked for tooltips, which this window does not offer.
    leaveTracked = true;
}

bool EditorX11::CursorScreenPosition(int32_t& x, int32_t& y) const
{
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    bool sameScreen = false;
    if (!QueryPointer(rootX, rootY, winX, winY, sameScreen))
        return false;
    x = rootX;
    y = rootY;
    return true;
}

void EditorX11::SetCursorScreenPosition(int32_t x, int32_t y)
{
    if (!WindowAlive())
        return;
    X11ErrorTrap trap(display);
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
}

void EditorX11::ShowCursor(bool show)
{
    if (!display || show == !pointerHidden)
        return;
    X11ErrorTrap trap(display);
    if (connection.HasFixes()) {
        if (show)
            XFixesShowCursor(display, window);
        else
            XFixesHideCursor(display, window);
    } else if (show) {
        XUndefineCursor(display, window);
    } else {
        // Without the extension: a cursor with no visible pixels, which the
        // pointer keeps during the drag's grab.
        XDefineCursor(display, window, connection.BlankCursor());
    }
    pointerHidden = !show;
}

MouseModifiers EditorX11::ModifiersOf(unsigned int state)
{
    MouseModifiers m;
    m.left = (state & Button1Mask) != 0;
    m.right = (state & Button3Mask) != 0;
    m.shift = (state & ShiftMask) != 0;
    m.control = (state & ControlMask) != 0;
    m.alt = (state & Mod1Mask) != 0;
    return m;
}

void EditorX11::HandleEvent(XEvent& event)
{
    if (event.xany.window != window)
        return;
    if (embedding.Handle(event))
        return;
    switch (event.type) {
    case ButtonPress: OnButtonPress(event.xbutton); break;
    case ButtonRelease: OnButtonRelease(event.xbutton); break;
    case MotionNotify: OnMouseMove(event.xmotion.x, event.xmotion.y, ModifiersOf(event.xmotion.state)); break;
    case LeaveNotify:
        // Leaving into a child (the entry box) is not leaving the editor.
        if (event.xcrossing.detail == NotifyInferior || event.xcrossing.mode != NotifyNormal)
            break;
        clicks.Reset();
        if (leaveTracked) {
            leaveTracked = false;
            OnMouseLeave();
        }
        break;
    case KeyPress: OnKeyPress(event.xkey); break;
    case DestroyNotify:
        if (event.xdestroywindow.window == window) {
            // The host destroyed its window first; `removed` is still to come.
            windowAlive = false;
            textEntry.reset();
            embedding.Reset();
        }
        break;
    case ReparentNotify:
        if (event.xreparent.window == window) {
            // An embedder that moves the window into a socket of its own
            // tells it so afterwards; keys go on to the new parent.
            parent = event.xreparent.parent;
            const int32_t w = placement.right - placement.left;
            const int32_t h = placement.bottom - placement.top;
            placement = Bounds(event.xreparent.x, event.xreparent.y, event.xreparent.x + w, event.xreparent.y + h);
            embedding.Reset();
        }
        break;
    default: break;
    }
}

void EditorX11::OnButtonPress(const XButtonEvent& e)
{
    const MouseModifiers mods = ModifiersOf(e.state);
    switch (e.button) {
    case Button1:
        if (clicks.Press(static_cast<uint32_t>(e.time), e.x, e.y))
            OnMouseDoubleClick(e.x, e.y, mods);
        else
            OnMouseDown(kMouseLeft, e.x, e.y, mods);
        break;
    case Button2:
        clicks.Reset();
        OnMouseDown(kMouseMiddle, e.x, e.y, mods);
        break;
    case Button3:
        clicks.Reset();
        OnMouseDown(kMouseRight, e.x, e.y, mods);
        break;
    case kWheelUp:
    case kWheelDown: OnMouseWheel(e.x, e.y, mods, e.button == kWheelUp ? kWheelDelta : -kWheelDelta); break;
    default: break;   // sideways wheel and extra buttons
    }
}

void EditorX11::OnButtonRelease(const XButtonEvent& e)
{
    const MouseModifiers mods = ModifiersOf(e.state);
    if (e.button == Button1)
        OnMouseUp(kMouseLeft, e.x, e.y, mods);
    else if (e.button == Button3)
        OnMouseUp(kMouseRight, e.x, e.y, mods);
}

void EditorX11::OnKeyPress(XKeyEvent& e)
{
    const int32_t vk = X11KeyMap::VirtualKeyOf(XLookupKeysym(&e, 0));
    if (vk != 0 && OnKeyDown(vk))
        return;
    // A key the host sent here itself must not go back up to it: hosts that
    // pass keys on to the plug-in window would bounce it forever.
    if (!e.send_event)
        ForwardKey(e);
}

void EditorX11::ForwardKey(XKeyEvent& e)
{
    if (!WindowAlive())
        return;
    // Sent on up the tree from the host's window, exactly as the server
    // would have propagated it had this window not selected key presses.
    XEvent forwarded;
    std::memset(&forwarded, 0, sizeof forwarded);
    forwarded.xkey = e;
    forwarded.xkey.window = parent;
    forwarded.xkey.subwindow = window;
    forwarded.xkey.x = e.x + placement.left;
    forwarded.xkey.y = e.y + placement.top;
    X11ErrorTrap trap(display);
    XSendEvent(display, parent, True, KeyPressMask, &forwarded);
}

// ---- value entry box ----

bool EditorX11::CreateTextEntry(const TextStyle& style, const Bounds& area, const char* text, int32_t maxLength)
{
    if (!WindowAlive())
        return false;
    textEntry = std::make_unique<X11TextEntry>(*this, connection, window);
    if (!textEntry->Open(style, area, text, maxLength)) {
        textEntry.reset();
        return false;
    }
    return true;
}

void EditorX11::TextEntryText(char* out, size_t size) const
{
    if (!out || size == 0)
        return;
    out[0] = '\0';
    if (!textEntry)
        return;
    const std::string& text = textEntry->Text();
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

void EditorX11::DestroyTextEntry()
{
    textEntry.reset();
}

// ---- popup menus ----

int32_t EditorX11::TrackNativeMenu(const MenuNumbering& menu, int32_t x, int32_t y)
{
    if (!WindowAlive())
        return -1;
    // The press that opened the menu will not be followed by its release
    // here: the menu takes the pointer.
    holdsMouse = false;
    clicks.Reset();
    X11PopupMenu popup(*this, connection, window, periodMs);
    return popup.Track(menu, x, y);
}
