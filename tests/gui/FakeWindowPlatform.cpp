#include "FakeWindowPlatform.h"

#include "gui/MenuNumbering.h"
#include "gui/TextStyle.h"
#include "gui/WindowHost.h"

#include <algorithm>
#include <cstring>

std::string FakeWindowPlatform::Text(const Bounds& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
        std::to_string(r.bottom);
}

void* FakeWindowPlatform::OpenWindow(void* /*parent*/, const Bounds& where, int32_t timerPeriodMs)
{
    Log("open " + Text(where) + " " + std::to_string(timerPeriodMs));
    if (!nextWindow)
        return nullptr;
    windowOpen = true;
    placement = where;
    return nextWindow;
}

void FakeWindowPlatform::CloseWindow()
{
    Log("close");
    windowOpen = false;
    // Closing a window ends its capture, as the window system would.
    holdsMouse = false;
}

bool FakeWindowPlatform::WindowPlacement(Bounds& where) const
{
    if (!windowOpen)
        return false;
    where = placement;
    return true;
}

void FakeWindowPlatform::ResizeWindowBy(int32_t dw, int32_t dh, bool growParents)
{
    Log("resize " + std::to_string(dw) + "," + std::to_string(dh) + (growParents ? " parents" : ""));
}

void FakeWindowPlatform::Invalidate(const Bounds& rect)
{
    Log("invalidate " + Text(rect));
    pending = pending.Union(rect);
}

void FakeWindowPlatform::Validate(const Bounds& rect)
{
    Log("validate " + Text(rect));
}

void FakeWindowPlatform::UpdateNow()
{
    Log("update");
    const Bounds rect = pending;
    pending = Bounds();
    if (host && !rect.IsEmpty())
        host->OnPaint(rect);
}

bool FakeWindowPlatform::Present(const PIX_SysBitmap& /*surface*/, const Bounds& rect)
{
    Log("present " + Text(rect));
    return true;
}

void FakeWindowPlatform::CaptureMouse()
{
    Log("capture");
    holdsMouse = true;
}

void FakeWindowPlatform::ReleaseMouse()
{
    Log("release");
    holdsMouse = false;
}

bool FakeWindowPlatform::CursorPosition(int32_t& x, int32_t& y) const
{
    x = cursorX;
    y = cursorY;
    return true;
}

bool FakeWindowPlatform::CursorScreenPosition(int32_t& x, int32_t& y) const
{
    x = cursorX + 1000;
    y = cursorY + 500;
    return true;
}

void FakeWindowPlatform::SetCursorScreenPosition(int32_t x, int32_t y)
{
    Log("cursor at " + std::to_string(x) + "," + std::to_string(y));
}

bool FakeWindowPlatform::CreateTextEntry(const TextStyle& style, const Bounds& area, const char* text,
                                         int32_t maxLength)
{
    Log("entry " + Text(area) + " '" + text + "' " + std::to_string(maxLength) + " align " +
        std::to_string(style.alignment));
    entryOpen = entryCreates;
    entryText = text;
    return entryCreates;
}

void FakeWindowPlatform::TextEntryText(char* out, size_t size) const
{
    const size_t n = std::min(entryText.size(), size - 1);
    std::memcpy(out, entryText.data(), n);
    out[n] = '\0';
}

void FakeWindowPlatform::DestroyTextEntry()
{
    Log("entry destroy");
    entryOpen = false;
}

int32_t FakeWindowPlatform::TrackNativeMenu(const MenuNumbering& menu, int32_t x, int32_t y)
{
    Log("menu " + std::to_string(x) + "," + std::to_string(y));
    ++menusShown;
    lastMenuLabels.clear();
    lastMenuIds.clear();
    lastMenuFlags.clear();
    for (int32_t m = 0; m < menu.MenuCount(); ++m) {
        lastMenuLabels.emplace_back();
        lastMenuIds.emplace_back();
        lastMenuFlags.emplace_back();
        for (const MenuNumbering::Item& item : menu.ItemsOf(m)) {
            lastMenuLabels.back().push_back(item.label);
            lastMenuIds.back().push_back(item.id);
            lastMenuFlags.back().push_back(item.flags);
        }
    }
    return menuChoice;
}

bool FakeWindowPlatform::CreateTooltips()
{
    Log("tooltips");
    return tooltipsCreate;
}

std::vector<std::string> FakeWindowPlatform::Take()
{
    std::vector<std::string> taken;
    taken.swap(calls);
    return taken;
}

bool FakeWindowPlatform::Logged(const std::string& call) const
{
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}
