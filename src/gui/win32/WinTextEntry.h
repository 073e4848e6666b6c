#pragma once

#include "gui/Bounds.h"
#include "gui/win32/WinHeaders.h"

#include <cstddef>
#include <cstdint>

struct TextStyle;

// The value entry box: a subclassed EDIT child of the editor window. Its
// window procedure reports focus changes, keys, typed characters and the
// ending command to the editor that owns the parent window; the editor
// decides, the box only carries the text.
class WinTextEntry {
public:
    static constexpr int kControlId = 99;
    // In the box's GWLP_USERDATA while it is subclassed.
    static constexpr LONG_PTR kMarker = static_cast<LONG_PTR>(0xdeadf00bu);

    WinTextEntry() = default;
    ~WinTextEntry();
    WinTextEntry(const WinTextEntry&) = delete;
    WinTextEntry& operator=(const WinTextEntry&) = delete;

    // Over `area` of `parent`, showing `text` all selected, with the focus.
    bool Open(HWND parent, HINSTANCE module, const TextStyle& style, const Bounds& area, const char* text,
              int32_t maxLength);
    // Puts the box's own procedure back and destroys the box and its font.
    void Close();

    HWND Window() const { return box; }
    // The box's text, at most size - 1 characters, terminated.
    void Text(char* out, size_t size) const;

    // The style word of the box for an alignment of the text style.
    static DWORD StyleFor(int32_t alignment);
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    LRESULT CallPrevious(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) const;

    HWND box = nullptr;
    HFONT font = nullptr;   // lives as long as the box that shows it
    WNDPROC previous = nullptr;
};
