#pragma once

#include "PluginLibrary.h"

// The plug-in DLL named by --dll, loaded once for the whole test program.
PluginLibrary& SharedPlugin();
