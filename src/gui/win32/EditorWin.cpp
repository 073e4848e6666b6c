#include "gui/win32/EditorWin.h"

#include "gui/Control.h"
#include "gui/TextStyle.h"
#include "gui/win32/WinClipboard.h"
#include "gui/win32/WinColorDialog.h"
#include "gui/win32/WinDpi.h"
#include "gui/win32/WinFileDialog.h"
#include "gui/win32/WinFolders.h"
#include "gui/win32/WinLinkOpener.h"
#include "gui/win32/WinModule.h"
#include "gui/win32/WinPopupMenu.h"
#include "gui/win32/WinResourceImage.h"
#include "gui/win32/WinWindowClass.h"
#include "pix/PIX_SysBitmap.h"

namespace {

MouseModifiers ModifiersOf(WPARAM keys)
{
    MouseModifiers m;
    m.left = (keys & MK_LBUTTON) != 0;
    m.right = (keys & MK_RBUTTON) != 0;
    m.shift = (keys & MK_SHIFT) != 0;
    m.control = (keys & MK_CONTROL) != 0;
    m.alt = GetKeyState(VK_MENU) < 0;
    return m;
}

int32_t XOf(LPARAM lParam)
{
    return static_cast<int16_t>(LOWORD(lParam));
}

int32_t YOf(LPARAM lParam)
{
    return static_cast<int16_t>(HIWORD(lParam));
}

COLORREF RgbOf(const ArgbColor& c)
{
    return RGB(c.red, c.green, c.blue);
}

}   // namespace

EditorWin::EditorWin(PlugCore* plug, int32_t width, int32_t height, int32_t frameRate, HINSTANCE module_)
    : WindowHost(plug, width, height, frameRate, this),
      module(module_ ? module_ : WinModule::Instance())
{
}

EditorWin::~EditorWin()
{
    // The window goes while this object is whole: the layer's own
    // destructor would find the platform half gone.
    DestroyEditorWindow();
}

// ---- the window ----

void* EditorWin::CreateEditorWindow(void* parentHandle)
{
    // Before the window exists, so that it opens at its size; the host is
    // asked for the new size through its frame.
    if (!HostGaveScale())
        SetSystemDisplayScale(WinDpi::ScaleOf(static_cast<HWND>(parentHandle)));
    return WindowHost::CreateEditorWindow(parentHandle);
}

void EditorWin::OnResolutionChanged(uint32_t dpi)
{
    // Resizes the window and asks the host's frame for the new size, then
    // everything is drawn again; a scale the host gave stays.
    SetSystemDisplayScale(DisplayScale::FromDpi(dpi));
}

void* EditorWin::OpenWindow(void* parentHandle, const Bounds& placement, int32_t periodMs)
{
    HWND parentWindow = static_cast<HWND>(parentHandle);
    parent = parentWindow;
    if (!WinWindowClass::Acquire(module, &EditorWin::WindowProc))
        return nullptr;
    timerPeriodMs = periodMs;
    HWND created = CreateWindowExA(0, WinWindowClass::kName, "Tidepull", WS_CHILD | WS_VISIBLE, placement.left,
                                   placement.top, placement.right - placement.left, placement.bottom - placement.top,
                                   parentWindow, nullptr, module, this);
    if (!created) {
        WinWindowClass::Release(module);
        return nullptr;
    }
    hwnd = created;
    windowAlive = true;
    return hwnd;
}

void EditorWin::CloseWindow()
{
    if (!hwnd)
        return;
    entryBox.Close();
    tooltip.Destroy();
    if (IsCursorHidden())
        RestoreCursorAfterDrag();
    if (windowAlive) {
        // Messages of the dying window are no longer ours.
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
    WinWindowClass::Release(module);
    hwnd = nullptr;
    parent = nullptr;
    windowAlive = false;
}

bool EditorWin::WindowPlacement(Bounds& placement) const
{
    if (!windowAlive)
        return false;
    RECT r;
    if (!GetWindowRect(hwnd, &r))
        return false;
    POINT corner = {r.left, r.top};
    if (parent)
        ScreenToClient(parent, &corner);
    placement = Bounds(corner.x, corner.y, corner.x + (r.right - r.left), corner.y + (r.bottom - r.top));
    return true;
}

void EditorWin::ResizeWindowBy(int32_t dw, int32_t dh, bool growParents)
{
    if (!windowAlive)
        return;
    constexpr UINT kSizeOnly = SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE;
    HWND current = hwnd;
    for (int level = 0; level < 3; ++level) {
        RECT r;
        if (!GetWindowRect(current, &r))
            return;
        SetWindowPos(current, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh, kSizeOnly);
        // The host's windows around the editor grow with it, up to two levels,
        // while the window below is a plain (not MDI) child.
        if (!growParents || level == 2)
            return;
        const LONG style = GetWindowLongA(current, GWL_STYLE);
        const LONG exStyle = GetWindowLongA(current, GWL_EXSTYLE);
        if (!(style & WS_CHILD) || (exStyle & WS_EX_MDICHILD))
            return;
        current = GetParent(current);
        if (!current)
            return;
    }
}

// ---- painting ----

void EditorWin::Invalidate(const Bounds& rect)
{
    if (!windowAlive)
        return;
    const RECT r = {rect.left, rect.top, rect.right, rect.bottom};
    InvalidateRect(hwnd, &r, FALSE);
}

void EditorWin::Validate(const Bounds& rect)
{
    if (!windowAlive)
        return;
    const RECT r = {rect.left, rect.top, rect.right, rect.bottom};
    ValidateRect(hwnd, &r);
}

void EditorWin::UpdateNow()
{
    if (windowAlive)
        UpdateWindow(hwnd);
}

bool EditorWin::Present(const PIX_SysBitmap& surface, const Bounds& rect)
{
    HDC source = static_cast<HDC>(surface.DeviceContext());
    if (!windowAlive || !source)
        return true;
    const int32_t w = rect.right - rect.left;
    const int32_t h = rect.bottom - rect.top;
    if (painting) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (dc)
            BitBlt(dc, rect.left, rect.top, w, h, source, rect.left, rect.top, SRCCOPY);
        EndPaint(hwnd, &ps);
        presented = true;
    } else if (HDC dc = GetDC(hwnd)) {
        BitBlt(dc, rect.left, rect.top, w, h, source, rect.left, rect.top, SRCCOPY);
        ReleaseDC(hwnd, dc);
    }
    return true;
}

LRESULT EditorWin::OnPaintMessage()
{
    RECT r;
    if (!GetUpdateRect(hwnd, &r, FALSE))
        return 0;
    painting = true;
    presented = false;
    OnPaint(Bounds(r.left, r.top, r.right, r.bottom));
    painting = false;
    // Nothing drawn (no controls yet): the area must not be asked for again.
    if (!presented && windowAlive)
        ValidateRect(hwnd, nullptr);
    return 0;
}

// ---- input ----

void EditorWin::FocusWindow()
{
    if (windowAlive)
        SetFocus(hwnd);
}

void EditorWin::CaptureMouse()
{
    if (windowAlive)
        SetCapture(hwnd);
}

void EditorWin::ReleaseMouse()
{
    ReleaseCapture();
}

bool EditorWin::HoldsMouse() const
{
    return windowAlive && GetCapture() == hwnd;
}

bool EditorWin::CursorPosition(int32_t& x, int32_t& y) const
{
    POINT p;
    if (!windowAlive || !GetCursorPos(&p) || !ScreenToClient(hwnd, &p))
        return false;
    x = p.x;
    y = p.y;
    return true;
}

void EditorWin::TrackMouseLeave(bool hover)
{
    if (!windowAlive)
        return;
    TRACKMOUSEEVENT tme = {};
    tme.cbSize = sizeof tme;
    tme.dwFlags = TME_LEAVE | (hover ? TME_HOVER : 0);
    tme.hwndTrack = hwnd;
    tme.dwHoverTime = HOVER_DEFAULT;
    TrackMouseEvent(&tme);
}

bool EditorWin::CursorScreenPosition(int32_t& x, int32_t& y) const
{
    POINT p;
    if (!GetCursorPos(&p))
        return false;
    x = p.x;
    y = p.y;
    return true;
}

void EditorWin::SetCursorScreenPosition(int32_t x, int32_t y)
{
    SetCursorPos(x, y);
}

void EditorWin::ShowCursor(bool show)
{
    ::ShowCursor(show ? TRUE : FALSE);
}

// ---- entry box, menus, tooltips, resources ----

bool EditorWin::CreateTextEntry(const TextStyle& style, const Bounds& area, const char* text, int32_t maxLength)
{
    return windowAlive && entryBox.Open(hwnd, module, style, area, text, maxLength);
}

void EditorWin::TextEntryText(char* out, size_t size) const
{
    entryBox.Text(out, size);
}

void EditorWin::DestroyTextEntry()
{
    entryBox.Close();
}

int32_t EditorWin::TrackNativeMenu(const MenuNumbering& menu, int32_t x, int32_t y)
{
    return windowAlive ? WinPopupMenu::Track(hwnd, menu, x, y) : -1;
}

bool EditorWin::CreateTooltips()
{
    return windowAlive && tooltip.Create(hwnd, module);
}

PIX_IBitmap* EditorWin::LoadImageResource(int32_t id, const char* fileName)
{
    return WinResourceImage::Load(module, id, fileName);
}

LRESULT EditorWin::OnEntryColours(HDC dc)
{
    const Control* edited = Entry().EditedControl();
    if (!edited)
        return 0;
    const TextStyle& style = edited->GetTextStyle();
    SetBkColor(dc, RgbOf(style.entryBackground));
    SetTextColor(dc, RgbOf(style.entryForeground));
    SetBkMode(dc, OPAQUE);
    // The box's empty part in the same colour as behind the text.
    SetDCBrushColor(dc, RgbOf(style.entryBackground));
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

// ---- host-side services ----

int32_t EditorWin::ShowMessage(const char* text, const char* caption, uint32_t type)
{
    return MessageBoxA(hostWindow.MainWindow(parent), text, caption, type);
}

void EditorWin::HostFolder(std::string& out) const
{
    out = WinFolders::ModuleFolder(nullptr);
}

void EditorWin::PlugFolder(std::string& out) const
{
    out = WinFolders::ModuleFolder(module);
}

void EditorWin::DesktopFolder(std::string& out) const
{
    out = WinFolders::Desktop();
}

void EditorWin::AppDataFolder(std::string& out, bool allUsers) const
{
    out = WinFolders::AppData(allUsers);
}

void EditorWin::AskForFile(std::string& fileName, int32_t action, std::string& folder, const char* extensions)
{
    WinFileDialog::Ask(windowAlive ? hwnd : nullptr, fileName, action, folder, extensions);
}

bool EditorWin::AskForColor(ArgbColor& colour, const char* prompt)
{
    if (!windowAlive)
        return false;
    if (!customColors)
        customColors.reset(new COLORREF[WinColorDialog::kCustomColors]());
    return WinColorDialog::Ask(hwnd, colour, prompt, customColors.get());
}

bool EditorWin::OpenLink(const char* url, const char* title, const char* confirmation, const char* failure)
{
    return WinLinkOpener::Open(windowAlive ? hwnd : nullptr, url, title, confirmation, failure);
}

bool EditorWin::ClipboardText(std::string& out) const
{
    return WinClipboard::Text(out);
}

// ---- the window procedure ----

LRESULT CALLBACK EditorWin::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE) {
        const CREATESTRUCTA* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        EditorWin* editor = cs ? static_cast<EditorWin*>(cs->lpCreateParams) : nullptr;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
        if (editor)
            SetTimer(window, kTimerId, static_cast<UINT>(editor->timerPeriodMs), nullptr);
        SetFocus(window);
        return 0;
    }
    EditorWin* editor = reinterpret_cast<EditorWin*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!editor || editor->hwnd != window)
        return DefWindowProcA(window, msg, wParam, lParam);
    return editor->HandleMessage(msg, wParam, lParam);
}

LRESULT EditorWin::Forward(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND root = GetAncestor(hwnd, GA_ROOT);
    if (root && root != hwnd)
        SendMessageA(root, msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT EditorWin::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCDESTROY) {
        // The host destroyed its window (and ours with it) before removing
        // the view: nothing may touch the handle any more.
        windowAlive = false;
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_CTLCOLOREDIT)
        return OnEntryColours(reinterpret_cast<HDC>(wParam));
    // The window moved to a monitor of another resolution. A top-level
    // window is told the new one; a child asks once its parent has changed.
    if (msg == WinDpi::kChanged) {
        OnResolutionChanged(LOWORD(wParam));
        return 0;
    }
    if (msg == WinDpi::kChangedAfterParent) {
        OnResolutionChanged(WinDpi::ForWindow(hwnd));
        return 0;
    }

    // While the box has the focus the editor takes nothing but the clicks
    // that abandon the entry.
    if (Entry().IsOpen() && Entry().State() == TextEntryState::Editing) {
        if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN) {
            CancelTextEntry();
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return 0;
    case WM_PAINT: return OnPaintMessage();
    case WM_CLOSE: OnCloseRequest(); return 0;
    case WM_KEYDOWN:
        if (OnKeyDown(static_cast<int32_t>(wParam)))
            return 0;
        return Forward(msg, wParam, lParam);
    case WM_KEYUP: return Forward(msg, wParam, lParam);
    case WM_TIMER:
        if (wParam != kTimerId)
            break;
        OnTimer();
        return 0;
    case WM_MOUSEMOVE: OnMouseMove(XOf(lParam), YOf(lParam), ModifiersOf(wParam)); return 0;
    case WM_LBUTTONDOWN: OnMouseDown(kMouseLeft, XOf(lParam), YOf(lParam), ModifiersOf(wParam)); return 0;
    case WM_RBUTTONDOWN: OnMouseDown(kMouseRight, XOf(lParam), YOf(lParam), ModifiersOf(wParam)); return 0;
    case WM_MBUTTONDOWN: OnMouseDown(kMouseMiddle, XOf(lParam), YOf(lParam), ModifiersOf(wParam)); return 0;
    case WM_LBUTTONUP: OnMouseUp(kMouseLeft, XOf(lParam), YOf(lParam), ModifiersOf(wParam)); return 0;
    case WM_RBUTTONUP: OnMouseUp(kMouseRight, XOf(lParam), YOf(lParam), ModifiersOf(wParam)); return 0;
    case WM_LBUTTONDBLCLK: OnMouseDoubleClick(XOf(lParam), YOf(lParam), ModifiersOf(wParam)); return 0;
    case WM_MOUSEWHEEL: {
        // Wheel positions are on the screen.
        RECT r = {};
        GetWindowRect(hwnd, &r);
        OnMouseWheel(XOf(lParam) - r.left, YOf(lParam) - r.top, ModifiersOf(LOWORD(wParam)),
                     static_cast<int16_t>(HIWORD(wParam)));
        return 0;
    }
    case WM_MOUSEHOVER: OnMouseHover(); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(); return 0;
    default: break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
