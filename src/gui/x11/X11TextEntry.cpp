#include "gui/x11/X11TextEntry.h"

#include "gui/FontCache.h"
#include "gui/WindowHost.h"
#include "gui/x11/X11Connection.h"
#include "gui/x11/X11ErrorTrap.h"
#include "gui/x11/X11KeyMap.h"
#include "pix/PIX_CachedFont.h"
#include "pix/PIX_FillArea.h"
#include "pix/PIX_Mode.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int32_t kPadding = 2;
constexpr long kEvents = KeyPressMask | ButtonPressMask | FocusChangeMask;

bool IsFocusWindow(Display* display, Window window)
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus == window;
}

}   // namespace

X11TextEntry::X11TextEntry(WindowHost& h, X11Connection& c, Window p)
    : host(h),
      connection(c),
      display(c.GetDisplay()),
      parent(p)
{
}

X11TextEntry::~X11TextEntry()
{
    if (!window)
        return;
    connection.Unregister(window);
    X11ErrorTrap trap(display);
    // The keyboard goes back where it was before the box took it.
    if (IsFocusWindow(display, window) && previousFocus != None) {
        XSetInputFocus(display, previousFocus, previousFocus == PointerRoot ? RevertToPointerRoot : RevertToParent,
                       CurrentTime);
    }
    XDestroyWindow(display, window);
    presenter.Destroy();
}

bool X11TextEntry::Open(const TextStyle& style, const Bounds& area, const char* text, int32_t maxLength)
{
    const int32_t width = std::max(1, area.right - area.left + 1);
    const int32_t height = std::max(1, area.bottom - area.top + 1);
    if (!surface.Resize(width, height))
        return false;
    font = FontCache::Acquire(style);
    alignment = style.alignment;
    background = style.entryBackground.ToPixel() | 0xFF000000u;
    foreground = style.entryForeground.ToPixel() | 0xFF000000u;
    line.Reset(text ? text : "", maxLength);

    X11ErrorTrap trap(display);
    XWindowAttributes parentAttributes;
    if (!XGetWindowAttributes(display, parent, &parentAttributes))
        return false;
    Screen* screen = parentAttributes.screen;
    if (!presenter.Create(display, RootWindowOfScreen(screen), DefaultVisualOfScreen(screen),
                          DefaultDepthOfScreen(screen), width, height, connection.HasSharedMemory()))
        return false;

    XSetWindowAttributes a;
    a.background_pixmap = presenter.Picture();
    a.border_pixel = 0;
    a.colormap = DefaultColormapOfScreen(screen);
    a.event_mask = kEvents;
    window = XCreateWindow(display, parent, area.left, area.top, static_cast<unsigned>(width),
                           static_cast<unsigned>(height), 0, DefaultDepthOfScreen(screen), InputOutput,
                           DefaultVisualOfScreen(screen), CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask, &a);
    presenter.SetWindow(window);
    Draw();
    XMapRaised(display, window);

    int revert = 0;
    XGetInputFocus(display, &previousFocus, &revert);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    if (!trap.Sync()) {
        // Not viewable yet: the box still opens and takes the focus when clicked.
        if (trap.LastErrorCode() != BadMatch)
            return false;
    }
    connection.Register(window, this);
    return true;
}

void X11TextEntry::HandleEvent(XEvent& event)
{
    switch (event.type) {
    case KeyPress: OnKey(event.xkey); break;
    case ButtonPress: OnButton(event.xbutton); break;
    case FocusIn:
        if (event.xfocus.detail == NotifyPointer)
            break;
        focused = true;
        if (openingFocusPending)
            openingFocusPending = false;
        else
            host.OnTextEntryFocus(true);
        Draw();
        break;
    case FocusOut:
        // Grabs (a menu, a window move) take the keys only for a while.
        if (event.xfocus.detail == NotifyPointer || event.xfocus.detail == NotifyInferior ||
            event.xfocus.mode == NotifyGrab || event.xfocus.mode == NotifyUngrab)
            break;
        focused = false;
        openingFocusPending = false;
        Draw();
        host.OnTextEntryFocus(false);
        break;
    default: break;
    }
}

void X11TextEntry::OnKey(XKeyEvent& key)
{
    const KeySym sym = XLookupKeysym(&key, 0);
    const int32_t vk = X11KeyMap::VirtualKeyOf(sym);
    if (vk != 0 && host.OnTextEntryKeyDown(vk))
        return;

    char typed[8] = {};
    KeySym typedSym = 0;
    const int n = XLookupString(&key, typed, sizeof typed, &typedSym, nullptr);
    const bool shift = (key.state & ShiftMask) != 0;
    const bool control = (key.state & ControlMask) != 0;
    switch (typedSym) {
    case XK_BackSpace:
        if (host.OnTextEntryCharacter('\b'))
            line.Backspace();
        break;
    case XK_Delete:
    case XK_KP_Delete: line.Delete(); break;
    case XK_Left:
    case XK_KP_Left: line.MoveLeft(shift); break;
    case XK_Right:
    case XK_KP_Right: line.MoveRight(shift); break;
    case XK_Home:
    case XK_KP_Home: line.MoveHome(shift); break;
    case XK_End:
    case XK_KP_End: line.MoveEnd(shift); break;
    default:
        if (control) {
            if (typedSym == XK_a || typedSym == XK_A)
                line.SelectAll();
            break;
        }
        if (n == 1 && typed[0] >= 0x20 && typed[0] < 0x7F && host.OnTextEntryCharacter(typed[0]))
            line.Insert(typed[0]);
        break;
    }
    Draw();
}

void X11TextEntry::OnButton(const XButtonEvent& button)
{
    if (button.button != Button1)
        return;
    {
        X11ErrorTrap trap(display);
        if (!focused)
            XSetInputFocus(display, window, RevertToParent, button.time);
    }
    // The caret goes to the character boundary nearest the click.
    const int32_t origin = TextOrigin();
    size_t best = 0;
    int32_t bestDistance = std::abs(button.x - origin);
    for (size_t i = 1; i <= line.Text().size(); ++i) {
        const int32_t d = std::abs(button.x - (origin + TextWidth(i)));
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    line.MoveTo(best, (button.state & ShiftMask) != 0);
    Draw();
}

int32_t X11TextEntry::TextWidth(size_t count) const
{
    if (!font || count == 0)
        return 0;
    PIX_Rect r{0, 0, 0, 0};
    font->RenderText(nullptr, line.Text().c_str(), static_cast<int32_t>(count), &r,
                     PIX_DT_CALCRECT | PIX_DT_SINGLELINE | PIX_DT_NOCLIP);
    return r.right - r.left;
}

int32_t X11TextEntry::TextOrigin() const
{
    const int32_t width = surface.Width();
    const int32_t total = TextWidth(line.Text().size());
    const int32_t room = width - 2 * kPadding;
    if (total <= room) {
        scroll = 0;
        if (alignment == kAlignCenter)
            return (width - total) / 2;
        if (alignment == kAlignRight)
            return width - kPadding - total;
        return kPadding;
    }
    // Longer than the box: scrolled just enough to show the caret.
    const int32_t caretX = TextWidth(line.Caret());
    if (caretX - scroll > room)
        scroll = caretX - room;
    if (caretX - scroll < 0)
        scroll = caretX;
    scroll = std::min(std::max(scroll, 0), total - room);
    return kPadding - scroll;
}

void X11TextEntry::DrawText(size_t from, size_t to, int32_t x, uint32_t colour)
{
    if (!font || to <= from)
        return;
    font->SetInkColor(colour);
    const int32_t lineHeight = font->LineHeight();
    const int32_t top = (surface.Height() - lineHeight) / 2;
    PIX_Rect r{x + TextWidth(from), top, surface.Width() + 4096, top + lineHeight};
    font->RenderText(&surface, line.Text().c_str() + from, static_cast<int32_t>(to - from), &r,
                     PIX_DT_SINGLELINE | PIX_DT_NOCLIP);
}

void X11TextEntry::Draw()
{
    const int32_t w = surface.Width();
    const int32_t h = surface.Height();
    PIX_FillArea(&surface, 0, 0, w, h, background, 1.0f, PIX_MODE_COPY);
    const int32_t origin = TextOrigin();
    const size_t size = line.Text().size();
    if (line.HasSelection()) {
        const size_t s = line.SelectionStart();
        const size_t e = line.SelectionEnd();
        const int32_t left = origin + TextWidth(s);
        PIX_FillArea(&surface, left, 1, origin + TextWidth(e) - left, h - 2, foreground, 1.0f, PIX_MODE_COPY);
        DrawText(0, s, origin, foreground);
        DrawText(s, e, origin, background);
        DrawText(e, size, origin, foreground);
    } else {
        DrawText(0, size, origin, foreground);
        if (focused)
            PIX_FillArea(&surface, origin + TextWidth(line.Caret()), 2, 1, h - 4, foreground, 1.0f, PIX_MODE_COPY);
    }
    if (window)
        presenter.Present(surface, Bounds(0, 0, w, h));
}
