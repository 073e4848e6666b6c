#include "gui/win32/WinClipboard.h"

#include "gui/win32/WinHeaders.h"

#include <vector>

bool WinClipboard::Text(std::string& out)
{
    out.clear();
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(nullptr))
        return false;
    bool ok = false;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            // With the terminator: the size counts it, the string does not.
            const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
            if (bytes > 0) {
                std::vector<char> utf8(static_cast<size_t>(bytes));
                WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), bytes, nullptr, nullptr);
                out.assign(utf8.data());
                ok = true;
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return ok;
}
