#include "gui/win32/WinWindowClass.h"

const char* const WinWindowClass::kName = "TidepullEditorClass";

namespace {
int32_t g_openWindows = 0;
}

bool WinWindowClass::Acquire(HINSTANCE module, WNDPROC procedure)
{
    if (g_openWindows == 0) {
        WNDCLASSA wc = {};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = procedure;
        wc.hInstance = module;
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = kName;
        // A class left behind by a window the host destroyed on its own is
        // still ours and still fits.
        if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return false;
    }
    ++g_openWindows;
    return true;
}

void WinWindowClass::Release(HINSTANCE module)
{
    if (g_openWindows <= 0)
        return;
    if (--g_openWindows == 0)
        UnregisterClassA(kName, module);
}

int32_t WinWindowClass::OpenCount()
{
    return g_openWindows;
}
