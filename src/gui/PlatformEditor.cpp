#include "gui/PlatformEditor.h"

#include "gui/WindowHost.h"

Editor* CreatePlatformEditor(PlugCore* plug, int32_t width, int32_t height, int32_t frameRate)
{
    // No native window yet: the headless editor draws and handles input but
    // opens no window.
    return new WindowHost(plug, width, height, frameRate, nullptr);
}
