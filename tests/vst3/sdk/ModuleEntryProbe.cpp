// The plug-in side of the module entry, as seen from a test: the hooks count
// their calls and the counts are exported for the test to read.

#include "vst3/sdk/ModuleEntry.h"

namespace {

int initCalls = 0;
int deinitCalls = 0;
bool initResult = true;

}   // namespace

bool InitModule()
{
    ++initCalls;
    return initResult;
}

bool DeinitModule()
{
    ++deinitCalls;
    return true;
}

extern "C" {

SMTG_EXPORT_SYMBOL int probeInitCalls()
{
    return initCalls;
}

SMTG_EXPORT_SYMBOL int probeDeinitCalls()
{
    return deinitCalls;
}

SMTG_EXPORT_SYMBOL void* probeModuleHandle()
{
    return moduleHandle;
}

SMTG_EXPORT_SYMBOL void probeReset(bool nextInitResult)
{
    initCalls = 0;
    deinitCalls = 0;
    initResult = nextInitResult;
}
}
