#include "gui/win32/WinLinkOpener.h"

#include <shellapi.h>
#include <wininet.h>

namespace {
// ShellExecute reports success with a value above this.
constexpr INT_PTR kShellErrorLimit = 32;
}   // namespace

bool WinLinkOpener::Open(HWND owner, const char* url, const char* title, const char* confirmation, const char* failure)
{
    if (confirmation && MessageBoxA(owner, confirmation, title, MB_YESNO) != IDYES)
        return false;
    DWORD state = 0;
    if (url && InternetGetConnectedState(&state, 0)) {
        const HINSTANCE result = ShellExecuteA(owner, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
        if (reinterpret_cast<INT_PTR>(result) > kShellErrorLimit)
            return true;
    }
    if (failure)
        MessageBoxA(owner, failure, title, MB_OK);
    return false;
}
