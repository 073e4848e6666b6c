// The Windows side of the module entry: the loader hands the module handle to
// DllMain; InitDll passes it on to the editor (see PluginEntry.cpp).
#include "vst3/sdk/ModuleEntry.h"

#include <windows.h>

void* moduleHandle = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    // Only the attach matters; thread and detach notifications change nothing.
    if (reason == DLL_PROCESS_ATTACH)
        moduleHandle = instance;
    return TRUE;
}
