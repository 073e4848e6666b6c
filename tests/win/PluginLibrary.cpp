#include "PluginLibrary.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <vector>

using namespace Steinberg;

namespace {

#ifdef _WIN32
const char* kEntryName = "InitDll";
const char* kExitName = "ExitDll";

std::wstring Widen(const std::string& text)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), n);
    return std::wstring(wide.data());
}
#else
const char* kEntryName = "ModuleEntry";
const char* kExitName = "ModuleExit";
#endif

} // namespace

PluginLibrary::PluginLibrary(const std::string& path)
{
#ifdef _WIN32
    HMODULE module = LoadLibraryW(Widen(path).c_str());
    if (!module) {
        error = "LoadLibraryW failed with error " + std::to_string(GetLastError()) + " for " + path;
        return;
    }
    handle = module;
    using EntryFunc = bool (*)();
    auto entry = reinterpret_cast<EntryFunc>(Symbol(kEntryName));
    entered = entry && entry();
#else
    handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!handle) {
        const char* message = dlerror();
        error = message ? message : "dlopen failed";
        return;
    }
    using EntryFunc = bool (*)(void*);
    auto entry = reinterpret_cast<EntryFunc>(Symbol(kEntryName));
    entered = entry && entry(handle);
#endif
    if (!entered)
        error = std::string(kEntryName) + " missing or false";
}

PluginLibrary::~PluginLibrary()
{
    if (!handle)
        return;
    if (entered) {
        using ExitFunc = bool (*)();
        if (auto exitFunc = reinterpret_cast<ExitFunc>(Symbol(kExitName)))
            exitFunc();
    }
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(handle));
#else
    dlclose(handle);
#endif
}

void* PluginLibrary::Symbol(const char* name) const
{
    if (!handle)
        return nullptr;
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
#else
    return dlsym(handle, name);
#endif
}

IPluginFactory* PluginLibrary::GetFactory() const
{
    using GetFactoryFunc = IPluginFactory*(PLUGIN_API*)();
    auto get = reinterpret_cast<GetFactoryFunc>(Symbol("GetPluginFactory"));
    return get ? get() : nullptr;
}
