#pragma once

#include "gui/win32/WinHeaders.h"

// Opens a web address in the user's browser.
class WinLinkOpener {
public:
    // With a confirmation text the user is asked first (anything but Yes
    // gives false). Without a connection, or when the shell cannot open the
    // address, the failure text is shown when given and the result is false.
    static bool Open(HWND owner, const char* url, const char* title, const char* confirmation, const char* failure);
};
