#pragma once

#include <string>

// Text on the clipboard.
class WinClipboard {
public:
    // The clipboard's Unicode text as UTF-8; false (and empty) when there is
    // none or the clipboard cannot be opened.
    static bool Text(std::string& out);
};
