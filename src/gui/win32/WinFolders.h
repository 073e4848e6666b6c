#pragma once

#include "gui/win32/WinHeaders.h"

#include <string>

// Folders the editor offers its controls. Each ends in a backslash where
// Windows gives one, and is empty when it cannot be found.
class WinFolders {
public:
    // Folder of the module's file (of the host executable for none).
    static std::string ModuleFolder(HMODULE module);
    static std::string Desktop();
    // Common application data for all users, else the user's local one.
    static std::string AppData(bool allUsers);

    // The path up to and including its last backslash; empty without one or
    // when that is the last character.
    static std::string FolderOf(const char* path);
};
