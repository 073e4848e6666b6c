#include "gui/win32/WinModule.h"

HINSTANCE WinModule::Instance()
{
    // Found by an address inside this module, so no entry point has to hand
    // it over first.
    static const char marker = 0;
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            &marker, &module))
        return GetModuleHandleA(nullptr);
    return module;
}
