#include "gui/PlatformEditor.h"

#include "gui/WindowHost.h"

#if defined(__linux__)
#include "gui/x11/EditorX11.h"
#elif defined(_WIN32)
#include "gui/win32/EditorWin.h"
#endif

Editor* CreatePlatformEditor(PlugCore* plug, int32_t width, int32_t height, int32_t frameRate)
{
#if defined(__linux__)
    return new EditorX11(plug, width, height, frameRate);
#elif defined(_WIN32)
    return new EditorWin(plug, width, height, frameRate);
#else
    // No native window here yet: the headless editor draws and handles input
    // but opens no window.
    return new WindowHost(plug, width, height, frameRate, nullptr);
#endif
}
