#include "ModuleLibrary.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#endif

using namespace Steinberg;

#ifdef _WIN32
namespace {
std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    return path;
}
}   // namespace
#endif

bool ModuleLibrary::open(const std::string& bundlePath, std::string& error)
{
    return module_.load(bundlePath, error);
}

IPluginFactory* ModuleLibrary::factory(std::string& error) const
{
    IPluginFactory* factory = module_.createFactory();
    if (!factory)
        error = "the module offers no factory (GetPluginFactory)";
    return factory;
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
    if (DIR* dir = ::opendir(folder.c_str())) {
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
    return vsthost::PluginModule::bundleName(bundlePath);
}
