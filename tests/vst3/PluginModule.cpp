#include "PluginModule.h"

PluginModule& PluginModule::Shared()
{
    static PluginModule module(TIDEPULL_BUNDLE_BINARY);
    return module;
}
