#pragma once

#include "gui/win32/WinHeaders.h"

// The module this code is linked into: the plug-in DLL in a host, the test
// program when the editor is linked straight into it. Its window class,
// resources and folder belong to that module, whichever module the host is.
class WinModule {
public:
    static HINSTANCE Instance();
};
