#pragma once

// Entry points a VST 3 host calls when it loads and unloads the module, and
// the hooks the plug-in provides for them.

#include "pluginterfaces/base/fplatform.h"

// The handle the host passed to the first ModuleEntry (on Linux the dlopen
// handle); null while the module is not entered.
extern void* moduleHandle;

// Defined by the plug-in. Run once: InitModule on the first ModuleEntry,
// DeinitModule on the ModuleExit that balances it. Their result is the
// entry point's result.
bool InitModule();
bool DeinitModule();
