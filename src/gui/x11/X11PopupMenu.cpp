#include "gui/x11/X11PopupMenu.h"

#include "gui/FontCache.h"
#include "gui/PopupMenuItem.h"
#include "gui/TextStyle.h"
#include "gui/x11/EditorX11.h"
#include "gui/x11/X11Connection.h"
#include "gui/x11/X11ErrorTrap.h"
#include "gui/x11/X11Presenter.h"
#include "pix/PIX_CachedFont.h"
#include "pix/PIX_FillArea.h"
#include "pix/PIX_Mode.h"
#include "pix/PIX_SysBitmap.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr int32_t kBorder = 1;
constexpr int32_t kPad = 2;
constexpr int32_t kSeparatorHeight = 8;
constexpr int32_t kCheckColumn = 22;
constexpr int32_t kArrowColumn = 20;
constexpr int32_t kMinWidth = 80;

constexpr uint32_t kBackground = 0xFFF2F2F2u;
constexpr uint32_t kFrame = 0xFF7A7A7Au;
constexpr uint32_t kText = 0xFF000000u;
constexpr uint32_t kGreyText = 0xFF8C8C8Cu;
constexpr uint32_t kHot = 0xFF3874D8u;
constexpr uint32_t kHotText = 0xFFFFFFFFu;
constexpr uint32_t kSeparator = 0xFFC8C8C8u;

using Clock = std::chrono::steady_clock;

void Fill(PIX_SysBitmap& s, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour)
{
    PIX_FillArea(&s, x, y, w, h, colour, 1.0f, PIX_MODE_COPY);
}

}   // namespace

struct X11PopupMenu::Level {
    int32_t menu = 0;
    Window window = 0;
    int32_t x = 0;   // screen position and size
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<int32_t> tops;   // item i spans tops[i] .. tops[i + 1]
    int32_t hot = -1;
    int32_t openItem = -1;   // the item whose submenu is the next level
    PIX_SysBitmap surface;
    X11Presenter presenter;
};

X11PopupMenu::X11PopupMenu(EditorX11& e, X11Connection& c, Window o, int32_t period)
    : editor(e),
      connection(c),
      display(c.GetDisplay()),
      owner(o),
      periodMs(period > 0 ? period : 40)
{
    TextStyle style;
    std::strncpy(style.face, "Sans", sizeof style.face - 1);
    style.size = 13;
    font = FontCache::Acquire(style);
    if (font)
        rowHeight = std::max(rowHeight, font->LineHeight() + 8);
}

X11PopupMenu::~X11PopupMenu()
{
    CloseAll();
}

const MenuNumbering::Item& X11PopupMenu::ItemOf(const Level& level, int32_t idx) const
{
    return menus->ItemsOf(level.menu)[static_cast<size_t>(idx)];
}

int32_t X11PopupMenu::ItemCount(const Level& level) const
{
    return static_cast<int32_t>(menus->ItemsOf(level.menu).size());
}

bool X11PopupMenu::Selectable(const Level& level, int32_t idx) const
{
    if (idx < 0 || idx >= ItemCount(level))
        return false;
    const int32_t flags = ItemOf(level, idx).flags;
    return !(flags & (kMenuItemSeparator | kMenuItemGrayed | kMenuItemDisabled));
}

bool X11PopupMenu::OpenLevel(int32_t menuIdx, int32_t rootX, int32_t rootY, int32_t leftEdge)
{
    auto level = std::make_unique<Level>();
    level->menu = menuIdx;
    const std::vector<MenuNumbering::Item>& items = menus->ItemsOf(menuIdx);
    if (items.empty())
        return false;

    int32_t textWidth = 0;
    int32_t y = kBorder + kPad;
    for (const MenuNumbering::Item& item : items) {
        level->tops.push_back(y);
        if (item.flags & kMenuItemSeparator) {
            y += kSeparatorHeight;
            continue;
        }
        y += rowHeight;
        if (font && !item.label.empty()) {
            PIX_Rect r{0, 0, 0, 0};
            font->RenderText(nullptr, item.label.c_str(), -1, &r, PIX_DT_CALCRECT | PIX_DT_SINGLELINE | PIX_DT_NOCLIP);
            textWidth = std::max(textWidth, r.right - r.left);
        }
    }
    level->tops.push_back(y);
    level->width = std::max(kMinWidth, 2 * (kBorder + kPad) + kCheckColumn + textWidth + kArrowColumn);
    level->height = y + kPad + kBorder;

    // Kept on the screen: a menu that would leave it at the right opens to
    // the left of `leftEdge`, at the bottom it moves up.
    Screen* screen = DefaultScreenOfDisplay(display);
    const int32_t screenW = WidthOfScreen(screen);
    const int32_t screenH = HeightOfScreen(screen);
    if (rootX + level->width > screenW)
        rootX = std::max(0, leftEdge - level->width);
    if (rootY + level->height > screenH)
        rootY = std::max(0, screenH - level->height);
    level->x = rootX;
    level->y = rootY;

    if (!level->surface.Resize(level->width, level->height))
        return false;
    X11ErrorTrap trap(display);
    if (!level->presenter.Create(display, RootWindowOfScreen(screen), DefaultVisualOfScreen(screen),
                                 DefaultDepthOfScreen(screen), level->width, level->height,
                                 connection.HasSharedMemory()))
        return false;
    XSetWindowAttributes a;
    a.override_redirect = True;
    a.background_pixmap = level->presenter.Picture();
    a.border_pixel = 0;
    a.colormap = DefaultColormapOfScreen(screen);
    a.save_under = True;
    level->window = XCreateWindow(display, RootWindowOfScreen(screen), level->x, level->y,
                                  static_cast<unsigned>(level->width), static_cast<unsigned>(level->height), 0,
                                  DefaultDepthOfScreen(screen), InputOutput, DefaultVisualOfScreen(screen),
                                  CWOverrideRedirect | CWBackPixmap | CWBorderPixel | CWColormap | CWSaveUnder, &a);
    level->presenter.SetWindow(level->window);
    Draw(*level);
    XMapRaised(display, level->window);
    levels.push_back(std::move(level));
    return trap.Sync();
}

void X11PopupMenu::CloseLevelsAfter(size_t depth)
{
    X11ErrorTrap trap(display);
    while (levels.size() > depth + 1) {
        Level& last = *levels.back();
        last.presenter.Destroy();
        XDestroyWindow(display, last.window);
        levels.pop_back();
    }
    if (depth < levels.size())
        levels[depth]->openItem = -1;
}

void X11PopupMenu::CloseAll()
{
    if (levels.empty())
        return;
    CloseLevelsAfter(0);
    X11ErrorTrap trap(display);
    levels[0]->presenter.Destroy();
    XDestroyWindow(display, levels[0]->window);
    levels.clear();
}

void X11PopupMenu::Draw(Level& level)
{
    PIX_SysBitmap& s = level.surface;
    const int32_t w = level.width;
    const int32_t h = level.height;
    Fill(s, 0, 0, w, h, kFrame);
    Fill(s, kBorder, kBorder, w - 2 * kBorder, h - 2 * kBorder, kBackground);
    for (int32_t i = 0; i < ItemCount(level); ++i) {
        const MenuNumbering::Item& item = ItemOf(level, i);
        const int32_t top = level.tops[static_cast<size_t>(i)];
        const int32_t bottom = level.tops[static_cast<size_t>(i) + 1];
        if (item.flags & kMenuItemSeparator) {
            Fill(s, kBorder + 4, (top + bottom) / 2, w - 2 * kBorder - 8, 1, kSeparator);
            continue;
        }
        const bool hot = i == level.hot;
        const bool grey = (item.flags & (kMenuItemGrayed | kMenuItemDisabled)) != 0;
        const uint32_t ink = hot ? kHotText : grey ? kGreyText : kText;
        if (hot)
            Fill(s, kBorder + 1, top, w - 2 * kBorder - 2, bottom - top, kHot);
        const int32_t cy = (top + bottom) / 2;
        if (item.flags & kMenuItemChecked) {
            // A tick: a short stroke down, a long one up.
            const int32_t cx = kBorder + kPad + 6;
            for (int32_t k = 0; k < 4; ++k)
                Fill(s, cx + k, cy - 1 + k, 2, 2, ink);
            for (int32_t k = 0; k < 7; ++k)
                Fill(s, cx + 3 + k, cy + 2 - k, 2, 2, ink);
        }
        if (item.submenu >= 0) {
            const int32_t ax = w - kBorder - kPad - 12;
            for (int32_t k = 0; k < 5; ++k)
                Fill(s, ax + k, cy - 4 + k, 1, 9 - 2 * k, ink);
        }
        if (font && !item.label.empty()) {
            font->SetInkColor(ink);
            const int32_t textTop = top + (bottom - top - font->LineHeight()) / 2;
            PIX_Rect r{kBorder + kPad + kCheckColumn, textTop, w - kArrowColumn, textTop + font->LineHeight()};
            font->RenderText(&s, item.label.c_str(), -1, &r, PIX_DT_SINGLELINE | PIX_DT_NOCLIP);
        }
    }
    level.presenter.Present(s, Bounds(0, 0, w, h));
}

bool X11PopupMenu::Hit(int32_t rootX, int32_t rootY, size_t* depth, int32_t* item) const
{
    for (size_t d = levels.size(); d-- > 0;) {
        const Level& level = *levels[d];
        if (rootX < level.x || rootX >= level.x + level.width || rootY < level.y || rootY >= level.y + level.height)
            continue;
        *depth = d;
        *item = -1;
        const int32_t y = rootY - level.y;
        for (int32_t i = 0; i < ItemCount(level); ++i) {
            if (y >= level.tops[static_cast<size_t>(i)] && y < level.tops[static_cast<size_t>(i) + 1]) {
                *item = i;
                break;
            }
        }
        return true;
    }
    return false;
}

void X11PopupMenu::SetHot(size_t depth, int32_t item)
{
    Level& level = *levels[depth];
    if (item >= 0 && (ItemOf(level, item).flags & kMenuItemSeparator))
        item = -1;
    if (level.hot != item) {
        level.hot = item;
        Draw(level);
    }
}

void X11PopupMenu::OpenSubmenuOf(size_t depth, int32_t item)
{
    Level& level = *levels[depth];
    if (level.openItem == item)
        return;
    CloseLevelsAfter(depth);
    if (item < 0 || !Selectable(level, item))
        return;
    const int32_t sub = ItemOf(level, item).submenu;
    if (sub < 0)
        return;
    const int32_t top = level.y + level.tops[static_cast<size_t>(item)] - kBorder - kPad;
    if (OpenLevel(sub, level.x + level.width - 2, top, level.x + 2))
        levels[depth]->openItem = item;
}

void X11PopupMenu::Choose(size_t depth, int32_t item)
{
    const Level& level = *levels[depth];
    if (!Selectable(level, item))
        return;
    if (ItemOf(level, item).submenu >= 0) {
        OpenSubmenuOf(depth, item);
        return;
    }
    result = ItemOf(level, item).id;
    done = true;
}

void X11PopupMenu::StepHot(int32_t direction)
{
    const size_t depth = levels.size() - 1;
    const Level& level = *levels[depth];
    const int32_t count = ItemCount(level);
    int32_t i = level.hot;
    for (int32_t tries = 0; tries < count; ++tries) {
        i = i < 0 ? (direction > 0 ? 0 : count - 1) : (i + direction + count) % count;
        if (Selectable(level, i)) {
            SetHot(depth, i);
            return;
        }
    }
}

void X11PopupMenu::OnKey(XKeyEvent& key)
{
    const size_t depth = levels.size() - 1;
    Level& level = *levels[depth];
    switch (XLookupKeysym(&key, 0)) {
    case XK_Escape:
        if (depth == 0) {
            done = true;
        } else {
            CloseLevelsAfter(depth - 1);
        }
        break;
    case XK_Left:
    case XK_KP_Left:
        if (depth > 0)
            CloseLevelsAfter(depth - 1);
        break;
    case XK_Down:
    case XK_KP_Down: StepHot(1); break;
    case XK_Up:
    case XK_KP_Up: StepHot(-1); break;
    case XK_Right:
    case XK_KP_Right:
        if (level.hot >= 0 && ItemOf(level, level.hot).submenu >= 0) {
            OpenSubmenuOf(depth, level.hot);
            if (levels.size() > depth + 1)
                StepHot(1);
        }
        break;
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
        if (level.hot >= 0) {
            Choose(depth, level.hot);
            if (!done && levels.size() > depth + 1)
                StepHot(1);
        }
        break;
    default: break;
    }
}

void X11PopupMenu::OnEvent(XEvent& event)
{
    size_t depth = 0;
    int32_t item = -1;
    switch (event.type) {
    case MotionNotify:
        if (Hit(event.xmotion.x_root, event.xmotion.y_root, &depth, &item)) {
            SetHot(depth, item);
            if (item >= 0) {
                armed = true;
                OpenSubmenuOf(depth, item);
            }
        }
        break;
    case ButtonPress:
        if (event.xbutton.button > Button3)
            break;
        if (!Hit(event.xbutton.x_root, event.xbutton.y_root, &depth, &item))
            done = true;   // a click elsewhere dismisses
        else
            armed = true;
        break;
    case ButtonRelease:
        if (event.xbutton.button > Button3 || !armed)
            break;
        if (Hit(event.xbutton.x_root, event.xbutton.y_root, &depth, &item) && item >= 0)
            Choose(depth, item);
        break;
    case KeyPress: OnKey(event.xkey); break;
    default: break;
    }
}

bool X11PopupMenu::Grab()
{
    const unsigned mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    // Another client may hold the pointer for a moment (a host's own menu
    // closing): a few tries before giving up.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (XGrabPointer(display, levels[0]->window, False, mask, GrabModeAsync, GrabModeAsync, None, None,
                         CurrentTime) == GrabSuccess) {
            XGrabKeyboard(display, levels[0]->window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int32_t X11PopupMenu::Track(const MenuNumbering& numbering, int32_t x, int32_t y)
{
    if (!display || numbering.MenuCount() == 0)
        return -1;
    menus = &numbering;
    done = false;
    result = -1;
    armed = false;

    connection.EnterDispatch();
    {
        X11ErrorTrap trap(display);
        int rootX = 0;
        int rootY = 0;
        Window child = 0;
        XTranslateCoordinates(display, owner, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
        if (OpenLevel(0, rootX, rootY, rootX) && Grab()) {
            const int fd = ConnectionNumber(display);
            Clock::time_point nextTick = Clock::now() + std::chrono::milliseconds(periodMs);
            while (!done) {
                if (XPending(display) == 0) {
                    XFlush(display);
                    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextTick - Clock::now());
                    pollfd p{fd, POLLIN, 0};
                    poll(&p, 1, static_cast<int>(std::max<int64_t>(0, wait.count())));
                }
                if (Clock::now() >= nextTick) {
                    // The editor keeps drawing behind the menu, as under a
                    // native menu's loop.
                    nextTick = Clock::now() + std::chrono::milliseconds(periodMs);
                    editor.OnTimer();
                }
                while (!done && XPending(display) > 0) {
                    XEvent event;
                    XNextEvent(display, &event);
                    bool ours = event.xany.window == levels[0]->window;
                    for (const std::unique_ptr<Level>& level : levels)
                        ours = ours || event.xany.window == level->window;
                    if (ours)
                        OnEvent(event);
                    else
                        connection.Route(event);
                    if (!editor.WindowAlive())
                        done = true;
                }
            }
            XUngrabKeyboard(display, CurrentTime);
            XUngrabPointer(display, CurrentTime);
        }
        CloseAll();
    }
    connection.LeaveDispatch();
    menus = nullptr;
    return result;
}
