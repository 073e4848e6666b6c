// The Linux side of the module entry: hosts call ModuleEntry after dlopen and
// ModuleExit before dlclose.
#include "vst3/sdk/ModuleEntry.h"

extern "C" {
// Hosts may enter several times; only the first call initialises.
SMTG_EXPORT_SYMBOL bool ModuleEntry(void* sharedLibraryHandle);
// False for an exit without a matching entry.
SMTG_EXPORT_SYMBOL bool ModuleExit();
}

void* moduleHandle = nullptr;

namespace {

// Hosts call the entry points from one thread; the count only balances
// repeated entries.
int entryCount = 0;

}   // namespace

bool ModuleEntry(void* sharedLibraryHandle)
{
    if (++entryCount > 1)
        return true;
    moduleHandle = sharedLibraryHandle;
    return InitModule();
}

bool ModuleExit()
{
    if (entryCount == 0)
        return false;
    if (--entryCount > 0)
        return true;
    moduleHandle = nullptr;
    return DeinitModule();
}
