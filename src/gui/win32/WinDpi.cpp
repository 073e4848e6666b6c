#include "gui/win32/WinDpi.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// Looked up once: the editor must load on systems without it.
GetDpiForWindowFn WindowDpiFunction()
{
    static const GetDpiForWindowFn fn = []() -> GetDpiForWindowFn {
        HMODULE user32 = GetModuleHandleA("user32.dll");
        if (!user32)
            return nullptr;
        return reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
    }();
    return fn;
}

}   // namespace

bool WinDpi::KnowsWindowDpi()
{
    return WindowDpiFunction() != nullptr;
}

uint32_t WinDpi::ForWindow(HWND window)
{
    if (window) {
        if (GetDpiForWindowFn fn = WindowDpiFunction()) {
            if (const UINT dpi = fn(window))
                return dpi;
        }
    }
    int dpi = 0;
    if (HDC dc = GetDC(window)) {
        dpi = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(window, dc);
    }
    return dpi > 0 ? static_cast<uint32_t>(dpi) : 96u;
}
