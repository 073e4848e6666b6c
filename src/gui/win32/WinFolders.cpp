#include "gui/win32/WinFolders.h"

#include <shlobj.h>

#include <cstring>

namespace {
constexpr DWORD kModulePathSize = 256;
}

std::string WinFolders::FolderOf(const char* path)
{
    if (!path)
        return {};
    const char* slash = std::strrchr(path, '\\');
    if (!slash || slash[1] == '\0')
        return {};
    return std::string(path, static_cast<size_t>(slash - path) + 1);
}

std::string WinFolders::ModuleFolder(HMODULE module)
{
    char path[kModulePathSize + 1] = {};
    if (!GetModuleFileNameA(module, path, kModulePathSize))
        return {};
    return FolderOf(path);
}

std::string WinFolders::Desktop()
{
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOP, FALSE))
        return {};
    return path;
}

std::string WinFolders::AppData(bool allUsers)
{
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, allUsers ? CSIDL_COMMON_APPDATA : CSIDL_LOCAL_APPDATA, nullptr, 0, path)))
        return {};
    return path;
}
