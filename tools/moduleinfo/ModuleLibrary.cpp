#include "ModuleLibrary.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <dlfcn.h>
#include <sys/utsname.h>
#endif

using namespace Steinberg;

namespace
{
std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    return path;
}

#ifdef _WIN32
std::wstring wide(const std::string& text)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(n > 0 ? n : 1, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], n);
    out.resize(out.size() - 1);
    return out;
}
#endif
}

ModuleLibrary::~ModuleLibrary()
{
    if (!handle_)
        return;
#ifdef _WIN32
    if (entered_)
        if (auto exitDll = reinterpret_cast<bool (*)()>(symbol("ExitDll")))
            exitDll();
    FreeLibrary(static_cast<HMODULE>(handle_));
#else
    if (entered_)
        if (auto moduleExit = reinterpret_cast<bool (*)()>(symbol("ModuleExit")))
            moduleExit();
    dlclose(handle_);
#endif
}

bool ModuleLibrary::open(const std::string& bundlePath, std::string& error)
{
    const std::string bundle = withoutTrailingSlashes(bundlePath);
    const std::string name = moduleName(bundle);
#ifdef _WIN32
    const std::string library = bundle + "\\Contents\\x86_64-win\\" + name + ".vst3";
    handle_ = LoadLibraryW(wide(library).c_str());
    if (!handle_)
    {
        error = "cannot load '" + library + "' (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    // InitDll is optional; when present it must agree.
    if (auto initDll = reinterpret_cast<bool (*)()>(symbol("InitDll")))
    {
        entered_ = initDll();
        if (!entered_)
        {
            error = "InitDll of '" + library + "' failed";
            return false;
        }
    }
#else
    struct utsname machine;
    ::uname(&machine);
    const std::string library = bundle + "/Contents/" + machine.machine + "-linux/" + name + ".so";
    handle_ = dlopen(library.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!handle_)
    {
        const char* why = dlerror();
        error = "cannot load '" + library + "': " + (why ? why : "unknown error");
        return false;
    }
    auto moduleEntry = reinterpret_cast<bool (*)(void*)>(symbol("ModuleEntry"));
    if (!moduleEntry || !moduleEntry(handle_))
    {
        error = "'" + library + "' has no ModuleEntry, or it failed";
        return false;
    }
    entered_ = true;
#endif
    return true;
}

IPluginFactory* ModuleLibrary::factory(std::string& error) const
{
    auto getFactory = reinterpret_cast<IPluginFactory* (*)()>(symbol("GetPluginFactory"));
    IPluginFactory* factory = getFactory ? getFactory() : nullptr;
    if (!factory)
        error = "the module offers no factory (GetPluginFactory)";
    return factory;
}

void* ModuleLibrary::symbol(const char* name) const
{
    if (!handle_)
        return nullptr;
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
    return dlsym(handle_, name);
#endif
}

std::vector<std::string> ModuleLibrary::filesIn(const std::string& folder)
{
    std::vector<std::string> names;
#ifdef _WIN32
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((withoutTrailingSlashes(folder) + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.emplace_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
#else
    if (DIR* dir = ::opendir(folder.c_str()))
    {
        while (const dirent* entry = ::readdir(dir))
            if (entry->d_name[0] != '.')
                names.emplace_back(entry->d_name);
        ::closedir(dir);
    }
#endif
    return names;
}

std::string ModuleLibrary::moduleName(const std::string& bundlePath)
{
    const std::string bundle = withoutTrailingSlashes(bundlePath);
    const size_t slash = bundle.find_last_of("/\\");
    std::string name = slash == std::string::npos ? bundle : bundle.substr(slash + 1);
    const std::string extension = ".vst3";
    if (name.size() > extension.size() && name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
        name.erase(name.size() - extension.size());
    return name;
}
