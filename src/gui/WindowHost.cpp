#include "gui/WindowHost.h"

#include "core/PlugCore.h"
#include "gui/MenuNumbering.h"
#include "gui/VirtualKeyMap.h"
#include "gui/WindowPlatform.h"

#include <cmath>

namespace {

// Host windows are never grown for these plug APIs (VST 3 is 1): their hosts
// size the window themselves.
bool HostResizesItsWindows(int32_t apiKind)
{
    return apiKind == 1 || apiKind == 3;
}

void SetButton(MouseModifiers& mods, MouseButton button, bool down)
{
    if (button == kMouseLeft)
        mods.left = down;
    else if (button == kMouseRight)
        mods.right = down;
}

}   // namespace

WindowHost::WindowHost(PlugCore* plug, int32_t width, int32_t height, int32_t frameRate, WindowPlatform* platform_)
    : Editor(plug, width, height, frameRate),
      platform(platform_)
{
}

WindowHost::~WindowHost()
{
    DestroyEditorWindow();
}

int32_t WindowHost::TimerPeriodMs() const
{
    if (FrameRate() <= 0)
        return 1000;
    const double period = std::trunc(1000.0 / FrameRate());
    return period < 1.0 ? 1 : static_cast<int32_t>(period);
}

const char* WindowHost::BackendName() const
{
    return platform ? platform->BackendName() : "";
}

PIX_IBitmap* WindowHost::LoadResourceImage(int32_t id, const char* fileName)
{
    if (platform) {
        if (PIX_IBitmap* bitmap = platform->LoadImageResource(id, fileName))
            return bitmap;
    }
    return Editor::LoadResourceImage(id, fileName);
}

// ---- the window ----

void* WindowHost::CreateEditorWindow(void* parent)
{
    Bounds placement(0, 0, DeviceWidth(), DeviceHeight());
    if (window) {
        Bounds current;
        if (platform->WindowPlacement(current))
            placement = current;
        DestroyEditorWindow();
    }
    if (!platform)
        return nullptr;

    window = platform->OpenWindow(parent, placement, TimerPeriodMs());
    if (!window)
        return nullptr;
    // A new window shows everything.
    MarkAllControlsDirty();
    if (TooltipsEnabled() && !platform->CreateTooltips())
        SetTooltipsEnabled(false);
    return window;
}

void WindowHost::DestroyEditorWindow()
{
    if (!window)
        return;
    // No edit outlives the window that began it.
    EndGesture();
    if (TooltipsEnabled())
        platform->DestroyTooltips();
    tooltipShowing = false;
    tooltipIndex = -1;
    CloseTextEntry();
    platform->CloseWindow();
    window = nullptr;
}

void WindowHost::SetEditorSize(int32_t width, int32_t height)
{
    if (width == Width() && height == Height())
        return;
    const int32_t oldWidth = DeviceWidth();
    const int32_t oldHeight = DeviceHeight();
    // The controls go: nothing may point at one any longer.
    CloseTextEntry();
    tooltipIndex = -1;
    Editor::SetEditorSize(width, height);
    ResizeOpenWindow(oldWidth, oldHeight);
}

bool WindowHost::SetDisplayScale(DisplayScale scale)
{
    if (scale == Scale())
        return false;
    const int32_t oldWidth = DeviceWidth();
    const int32_t oldHeight = DeviceHeight();
    // The box and menus were placed in the old device pixels.
    CloseTextEntry();
    HideTooltip();
    Editor::SetDisplayScale(scale);
    ResizeOpenWindow(oldWidth, oldHeight);
    return true;
}

void WindowHost::ResizeOpenWindow(int32_t oldWidth, int32_t oldHeight)
{
    if (!window)
        return;
    const int32_t api = Plug() ? Plug()->ApiKind() : 0;
    platform->ResizeWindowBy(DeviceWidth() - oldWidth, DeviceHeight() - oldHeight, !HostResizesItsWindows(api));
    InvalidateAll();
}

void WindowHost::InvalidateAll()
{
    if (platform && window)
        platform->Invalidate(Bounds(0, 0, DeviceWidth(), DeviceHeight()));
}

// ---- drawing ----

bool WindowHost::PresentRect(const Bounds& rect)
{
    if (!platform || !window || !DrawingSurface())
        return true;
    return platform->Present(*DrawingSurface(), rect);
}

void WindowHost::OnPaint(const Bounds& rect)
{
    if (EntryHasFocus())
        return;
    Render(Scale().ToLogical(rect));
}

void WindowHost::OnTimer()
{
    TickGestures();
    if (EntryHasFocus())
        return;

    // A pending entry state takes the whole tick; nothing is drawn.
    if (entry.IsOpen() && entry.State() != TextEntryState::Idle) {
        switch (entry.State()) {
        case TextEntryState::Refreshed: entry.SetState(TextEntryState::Idle); return;
        case TextEntryState::Cancel: CloseTextEntry(); return;
        case TextEntryState::Commit: {
            char text[TextEntry::kMaxTextLength + 1] = {};
            platform->TextEntryText(text, sizeof text);
            text[TextEntry::kMaxTextLength] = '\0';
            const bool opened = entry.EditedParam() && BeginSingleEdit(entry.EditedControl()->ParamIdx());
            entry.Apply(text);
            if (opened)
                EndGesture();
            CloseTextEntry();
            return;
        }
        default: return;
        }
    }

    Bounds dirty;
    if (!CollectDirty(dirty))
        return;
    if (!platform || !window) {
        Render(dirty);
        return;
    }
    platform->Invalidate(Scale().ToDevice(dirty));
    if (entry.IsOpen()) {
        // The box covers its control; drawing there would paint over it.
        platform->Validate(Scale().ToDevice(entry.EditedControl()->Rect()));
        platform->UpdateNow();
        entry.SetState(TextEntryState::Refreshed);
    } else {
        platform->UpdateNow();
    }
}

// ---- mouse and keys ----

void WindowHost::OnMouseDown(MouseButton button, int32_t x, int32_t y, MouseModifiers mods)
{
    if (EntryHasFocus()) {
        // A click in the editor while typing abandons the entry.
        if (button != kMouseMiddle)
            entry.SetState(TextEntryState::Cancel);
        return;
    }
    HideTooltip();
    if (entry.IsOpen()) {
        entry.SetState(TextEntryState::Commit);
        return;
    }
    SetButton(mods, button, true);
    if (platform && window) {
        platform->FocusWindow();
        platform->CaptureMouse();
    }
    HandleMouseDown(Scale().ToLogical(x), Scale().ToLogical(y), mods);
    // The windows report no release of the middle button: its press is an
    // edit of its own.
    if (button == kMouseMiddle)
        EndGesture();
}

void WindowHost::OnMouseUp(MouseButton button, int32_t x, int32_t y, MouseModifiers mods)
{
    if (EntryHasFocus())
        return;
    SetButton(mods, button, false);
    if (platform && window)
        platform->ReleaseMouse();
    HandleMouseUp(Scale().ToLogical(x), Scale().ToLogical(y), mods);
}

void WindowHost::OnMouseDoubleClick(int32_t x, int32_t y, MouseModifiers mods)
{
    if (EntryHasFocus())
        return;
    mods.left = true;
    if (HandleMouseDoubleClick(Scale().ToLogical(x), Scale().ToLogical(y), mods) && platform && window)
        platform->CaptureMouse();
}

void WindowHost::OnMouseMove(int32_t deviceX, int32_t deviceY, const MouseModifiers& mods)
{
    if (EntryHasFocus())
        return;
    // Logical pixels: a drag moves a knob as far at every scale.
    const int32_t x = Scale().ToLogical(deviceX);
    const int32_t y = Scale().ToLogical(deviceY);
    if (mods.left || mods.right) {
        // Drags only while the window holds the mouse (without a window
        // only the held control counts); HandleMouseDrag drops moves that
        // did not change the position.
        const bool held = platform && window ? platform->HoldsMouse() : true;
        if (held && !entry.IsOpen())
            HandleMouseDrag(x, y, mods);
        return;
    }
    if (!HandleMouseOver(x, y, mods))
        return;
    bool hover = false;
    if (TooltipsEnabled() && MouseOverIndex() != tooltipIndex && MouseOverIndex() >= 0) {
        tooltipIndex = MouseOverIndex();
        HideTooltip();
        hover = true;
    }
    if (platform && window)
        platform->TrackMouseLeave(hover);
}

void WindowHost::OnMouseWheel(int32_t x, int32_t y, const MouseModifiers& mods, int32_t delta)
{
    if (EntryHasFocus())
        return;
    if (entry.IsOpen()) {
        entry.SetState(TextEntryState::Cancel);
        return;
    }
    // Truncated: less than a notch reaches the control as 0 notches.
    HandleMouseWheel(Scale().ToLogical(x), Scale().ToLogical(y), mods, delta / kWheelDelta);
}

void WindowHost::OnMouseHover()
{
    if (EntryHasFocus())
        return;
    const Control* c = GetControl(tooltipIndex);
    if (!c || !platform || !window)
        return;
    platform->ShowTooltip(c->Tooltip());
    tooltipShowing = true;
}

void WindowHost::OnMouseLeave()
{
    if (EntryHasFocus())
        return;
    HideTooltip();
    HandleMouseOut();
}

bool WindowHost::OnKeyDown(int32_t virtualKey)
{
    // The box has the keys while it has the focus.
    if (EntryHasFocus())
        return true;
    const KeyCode key = VirtualKeyMap::Map(virtualKey);
    if (key == kKeyNone)
        return false;
    int32_t x = -1;
    int32_t y = -1;
    if (platform) {
        platform->CursorPosition(x, y);
        // -1 (no position) stays -1.
        x = Scale().ToLogical(x);
        y = Scale().ToLogical(y);
    }
    return HandleKeyDown(x, y, key);
}

// ---- value entry box ----

void WindowHost::OpenTextEntry(Control* control, const TextStyle& style, const Bounds& area, const char* initialText,
                               ParamRecord* param)
{
    if (!control || entry.IsOpen() || !platform || !window)
        return;
    // The box sits over the control in device pixels, its text at the
    // scaled size.
    TextStyle deviceStyle = style;
    deviceStyle.size = Scale().FontSize(style.size);
    deviceStyle.font = nullptr;
    if (!platform->CreateTextEntry(Scale().IsOne() ? style : deviceStyle, Scale().ToDevice(area),
                                   initialText ? initialText : "", control->TextEntryLength()))
        return;
    entry.Open(control, param);
}

void WindowHost::CancelTextEntry()
{
    // Only an open box: a cancel left behind would end the next one at once.
    if (entry.IsOpen())
        entry.SetState(TextEntryState::Cancel);
}

void WindowHost::CloseTextEntry()
{
    if (!entry.IsOpen())
        return;
    platform->DestroyTextEntry();
    entry.Close();
}

void WindowHost::OnTextEntryFocus(bool gained)
{
    if (!entry.IsOpen())
        return;
    HideTooltip();
    entry.FocusChanged(gained);
}

bool WindowHost::OnTextEntryKeyDown(int32_t virtualKey)
{
    if (!entry.IsOpen())
        return false;
    HideTooltip();
    return entry.KeyDown(virtualKey);
}

bool WindowHost::OnTextEntryCharacter(int32_t ch)
{
    if (!entry.IsOpen())
        return true;
    HideTooltip();
    return entry.AcceptsCharacter(ch);
}

void WindowHost::OnTextEntryCommand()
{
    if (!entry.IsOpen())
        return;
    HideTooltip();
    entry.SetState(TextEntryState::Commit);
}

// ---- menus, tooltips, cursor ----

PopupMenu* WindowHost::TrackMenu(PopupMenu& menu, const Bounds& area)
{
    ReleaseMouseCapture();
    if (!platform || !window)
        return nullptr;
    const MenuNumbering numbering(menu);
    const Bounds device = Scale().ToDevice(area);
    const int32_t id = platform->TrackNativeMenu(numbering, device.left, device.bottom);
    int32_t index = -1;
    PopupMenu* chosen = numbering.Resolve(id, &index);
    if (chosen)
        chosen->SetChosenIndex(index);
    // Whatever the menu covered is drawn again.
    InvalidateAll();
    return chosen;
}

void WindowHost::HideTooltip()
{
    if (!tooltipShowing)
        return;
    if (platform)
        platform->HideTooltip();
    tooltipShowing = false;
}

void WindowHost::HideCursorForDrag()
{
    if (IsCursorHidden() || !platform)
        return;
    int32_t x = -1;
    int32_t y = -1;
    if (!platform->CursorScreenPosition(x, y))
        return;
    SetSavedCursorPosition(x, y);
    platform->ShowCursor(false);
    SetCursorHidden(true);
}

void WindowHost::RestoreCursorAfterDrag()
{
    if (!IsCursorHidden() || !platform)
        return;
    platform->SetCursorScreenPosition(SavedCursorX(), SavedCursorY());
    platform->ShowCursor(true);
    SetCursorHidden(false);
}
