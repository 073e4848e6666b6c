#include "gui/win32/WinColorDialog.h"

#include <commdlg.h>

namespace {

UINT_PTR CALLBACK TitleHook(HWND dialog, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        const CHOOSECOLORA* cc = reinterpret_cast<const CHOOSECOLORA*>(lParam);
        const char* prompt = cc ? reinterpret_cast<const char*>(cc->lCustData) : nullptr;
        if (prompt && prompt[0])
            SetWindowTextA(dialog, prompt);
    }
    return 0;
}

}   // namespace

bool WinColorDialog::Ask(HWND owner, ArgbColor& colour, const char* prompt, COLORREF* customColors)
{
    if (!owner || !customColors)
        return false;
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = RGB(colour.red, colour.green, colour.blue);
    cc.lpCustColors = customColors;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
    cc.lCustData = reinterpret_cast<LPARAM>(prompt);
    cc.lpfnHook = TitleHook;
    if (!ChooseColorA(&cc))
        return false;
    colour.red = GetRValue(cc.rgbResult);
    colour.green = GetGValue(cc.rgbResult);
    colour.blue = GetBValue(cc.rgbResult);
    return true;
}
