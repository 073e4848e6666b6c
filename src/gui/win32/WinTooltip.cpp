#include "gui/win32/WinTooltip.h"

#include <commctrl.h>

namespace {

TTTOOLINFOA ToolInfo(HWND tool, char* text)
{
    TTTOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = tool;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = text;
    return info;
}

}   // namespace

bool WinTooltip::Create(HWND owner, HINSTANCE module)
{
    Destroy();
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES};
    if (!InitCommonControlsEx(&controls))
        return false;
    tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, module, nullptr);
    if (!tip)
        return false;
    SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    char empty[1] = {};
    TTTOOLINFOA info = ToolInfo(owner, empty);
    if (!SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info))) {
        Destroy();
        return false;
    }
    tool = owner;
    return true;
}

void WinTooltip::Destroy()
{
    if (tip)
        DestroyWindow(tip);
    tip = nullptr;
    tool = nullptr;
}

void WinTooltip::Show(const char* text)
{
    if (!tip)
        return;
    char buffer[256] = {};
    if (text)
        lstrcpynA(buffer, text, sizeof buffer);
    TTTOOLINFOA info = ToolInfo(tool, buffer);
    SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

void WinTooltip::Hide()
{
    if (tip)
        SendMessageA(tip, TTM_POP, 0, 0);
}
