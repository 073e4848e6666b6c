#include "XTestInput.h"

#include <algorithm>
#include <cstdlib>

void XTestInput::Sync(unsigned long delayMs)
{
    if (delayMs == 0)
        XSync(display, False);
    else
        XFlush(display);
}

void XTestInput::Flush()
{
    XFlush(display);
}

void XTestInput::MoveTo(int x, int y, unsigned long delayMs)
{
    XTestFakeMotionEvent(display, -1, x, y, delayMs);
    Sync(delayMs);
}

void XTestInput::Press(unsigned button, unsigned long delayMs)
{
    XTestFakeButtonEvent(display, button, True, delayMs);
    Sync(delayMs);
}

void XTestInput::Release(unsigned button, unsigned long delayMs)
{
    XTestFakeButtonEvent(display, button, False, delayMs);
    Sync(delayMs);
}

void XTestInput::Click(unsigned button, int x, int y)
{
    MoveTo(x, y);
    Press(button);
    Release(button);
}

void XTestInput::Drag(int fromX, int fromY, int toX, int toY, int step)
{
    MoveTo(fromX, fromY);
    Press(1);
    int x = fromX;
    int y = fromY;
    while (x != toX || y != toY) {
        x += std::clamp(toX - x, -step, step);
        y += std::clamp(toY - y, -step, step);
        MoveTo(x, y);
    }
    Release(1);
}

void XTestInput::Key(KeySym sym, unsigned long delayMs)
{
    const unsigned code = XKeysymToKeycode(display, sym);
    if (code == 0)
        return;
    const bool shifted = XkbKeycodeToKeysym(display, static_cast<XlibKeyCode>(code), 0, 0) != sym;
    const unsigned shift = XKeysymToKeycode(display, XK_Shift_L);
    if (shifted)
        XTestFakeKeyEvent(display, shift, True, delayMs);
    XTestFakeKeyEvent(display, code, True, shifted ? 0 : delayMs);
    XTestFakeKeyEvent(display, code, False, 0);
    if (shifted)
        XTestFakeKeyEvent(display, shift, False, 0);
    Sync(delayMs);
}

void XTestInput::Type(const std::string& text)
{
    for (char c : text)
        Key(static_cast<KeySym>(static_cast<unsigned char>(c)));
}
