#include "PluginModule.h"

#include <dlfcn.h>

#include <memory>

using namespace Steinberg;

PluginModule::PluginModule(const std::string& path)
{
    handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!handle) {
        const char* message = dlerror();
        error = message ? message : "dlopen failed";
        return;
    }
    using EntryFunc = bool (*)(void*);
    auto entry = reinterpret_cast<EntryFunc>(Symbol("ModuleEntry"));
    if (!entry) {
        error = "no ModuleEntry";
        return;
    }
    entered = entry(handle);
    if (!entered)
        error = "ModuleEntry returned false";
}

PluginModule::~PluginModule()
{
    if (!handle)
        return;
    using ExitFunc = bool (*)();
    if (entered) {
        if (auto exitFunc = reinterpret_cast<ExitFunc>(Symbol("ModuleExit")))
            exitFunc();
    }
    dlclose(handle);
}

PluginModule& PluginModule::Shared()
{
    static PluginModule module(TIDEPULL_BUNDLE_BINARY);
    return module;
}

void* PluginModule::Symbol(const char* name) const
{
    return handle ? dlsym(handle, name) : nullptr;
}

IPluginFactory* PluginModule::GetFactory() const
{
    using GetFactoryFunc = IPluginFactory* (*)();
    auto get = reinterpret_cast<GetFactoryFunc>(Symbol("GetPluginFactory"));
    return get ? get() : nullptr;
}
