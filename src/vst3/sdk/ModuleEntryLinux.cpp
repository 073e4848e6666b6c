#include "vst3/sdk/ModuleEntry.h"

#if SMTG_OS_LINUX

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

#endif   // SMTG_OS_LINUX
