#pragma once

#include "gui/win32/WinHeaders.h"

#include <string>

// The open and save file choosers.
class WinFileDialog {
public:
    static constexpr int kActionSave = 1;

    // Asks for a file to save (kActionSave) or open, starting in `folder`
    // (the desktop when empty, written back) with `fileName` proposed. On
    // success `fileName` is the chosen path and `folder` its folder; on
    // cancel `fileName` is empty. `extensions` are space separated.
    static void Ask(HWND owner, std::string& fileName, int action, std::string& folder, const char* extensions);

    // The chooser's filter for "wav aif": "*.wav;*.aif", NUL, the same
    // pattern, NUL, NUL. `defaultExtension` takes the first extension.
    static std::string Filter(const char* extensions, std::string* defaultExtension);
};
