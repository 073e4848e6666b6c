#include "gui/win32/WinTextEntry.h"

#include "gui/TextStyle.h"
#include "gui/win32/EditorWin.h"

namespace {

constexpr DWORD kBoxStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_MULTILINE;
constexpr WORD kEndCommand = 1;

EditorWin* EditorOfBox(HWND box)
{
    HWND parent = GetParent(box);
    return parent ? reinterpret_cast<EditorWin*>(GetWindowLongPtrA(parent, GWLP_USERDATA)) : nullptr;
}

}   // namespace

WinTextEntry::~WinTextEntry()
{
    Close();
}

DWORD WinTextEntry::StyleFor(int32_t alignment)
{
    switch (alignment) {
    case kAlignCenter: return kBoxStyle | ES_CENTER;
    case kAlignRight: return kBoxStyle | ES_RIGHT;
    default: return kBoxStyle | ES_LEFT;
    }
}

bool WinTextEntry::Open(HWND parent, HINSTANCE module, const TextStyle& style, const Bounds& area, const char* text,
                        int32_t maxLength)
{
    Close();
    box = CreateWindowExA(0, "EDIT", text ? text : "", StyleFor(style.alignment), area.left, area.top,
                          area.right - area.left + 1, area.bottom - area.top + 1, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)), module, nullptr);
    if (!box)
        return false;
    font = CreateFontA(style.size, 0, 0, 0, (style.style & kTextBold) ? FW_BOLD : 0,
                       (style.style & kTextItalic) ? TRUE : FALSE, 0, 0, 0, 0, 0, 0, 0, style.face);
    SendMessageA(box, EM_LIMITTEXT, static_cast<WPARAM>(maxLength), 0);
    if (font)
        SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    SendMessageA(box, EM_SETSEL, 0, -1);
    SetFocus(box);
    // Installed after the focus arrived: that first focus is not editing.
    previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WinTextEntry::Procedure)));
    SetWindowLongPtrA(box, GWLP_USERDATA, kMarker);
    return true;
}

void WinTextEntry::Close()
{
    if (box) {
        if (previous)
            SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        DestroyWindow(box);
    }
    box = nullptr;
    previous = nullptr;
    if (font)
        DeleteObject(font);
    font = nullptr;
}

void WinTextEntry::Text(char* out, size_t size) const
{
    if (!out || size == 0)
        return;
    out[0] = '\0';
    if (box)
        SendMessageA(box, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(out));
    out[size - 1] = '\0';
}

LRESULT WinTextEntry::CallPrevious(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return previous ? CallWindowProcA(previous, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK WinTextEntry::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    EditorWin* editor = EditorOfBox(hwnd);
    const WinTextEntry* self = editor ? editor->TextEntryBox() : nullptr;
    if (!self || self->box != hwnd)
        return DefWindowProcA(hwnd, msg, wParam, lParam);

    switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        editor->OnTextEntryFocus(msg == WM_SETFOCUS);
        return self->CallPrevious(hwnd, msg, wParam, lParam);
    case WM_GETDLGCODE: {
        LRESULT code = self->CallPrevious(hwnd, msg, wParam, lParam);
        const MSG* queried = reinterpret_cast<const MSG*>(lParam);
        if (editor->TextEntryWantsReturnKey() && queried && queried->message == WM_KEYDOWN &&
            queried->wParam == VK_RETURN)
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        if (editor->OnTextEntryKeyDown(static_cast<int32_t>(wParam)))
            return 0;
        break;
    case WM_CHAR:
        // Enter and Escape were taken as keys; their characters would put a
        // line break into the (multi-line) box.
        if (wParam == '\r' || wParam == '\n' || wParam == VK_ESCAPE)
            return 0;
        if (!editor->OnTextEntryCharacter(static_cast<int32_t>(wParam)))
            return 0;
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == kEndCommand) {
            editor->OnTextEntryCommand();
            return 0;
        }
        break;
    default: break;
    }
    return self->CallPrevious(hwnd, msg, wParam, lParam);
}
