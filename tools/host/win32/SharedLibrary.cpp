#include "SharedLibrary.h"

#include <windows.h>

#include <vector>

namespace vsthost {
namespace {
std::wstring widen(const std::string& text)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), n);
    return std::wstring(wide.data());
}
}   // namespace

bool SharedLibrary::open(const std::string& path, std::string& error, bool)
{
    close();
    handle_ = LoadLibraryW(widen(path).c_str());
    if (handle_)
        return true;
    error = "LoadLibraryW error " + std::to_string(GetLastError());
    return false;
}

void SharedLibrary::close()
{
    if (handle_)
        FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
}

void* SharedLibrary::symbol(const char* name) const
{
    if (!handle_)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

bool SharedLibrary::exportsEntry() const
{
    return true;
}

SharedLibrary::Entry SharedLibrary::enter()
{
    // Windows hosts call InitDll only where a plug-in exports it.
    auto entry = reinterpret_cast<bool (*)()>(symbol(entryName()));
    if (!entry)
        return Entry::kDone;
    return entry() ? Entry::kDone : Entry::kFailed;
}

void SharedLibrary::exit()
{
    if (auto leave = reinterpret_cast<bool (*)()>(symbol(exitName())))
        leave();
}

const char* SharedLibrary::entryName()
{
    return "InitDll";
}

const char* SharedLibrary::exitName()
{
    return "ExitDll";
}

std::string SharedLibrary::libraryInBundle(const std::string& bundle, const std::string& name)
{
    return bundle + "\\Contents\\x86_64-win\\" + name + ".vst3";
}

bool SharedLibrary::isMapped(const std::string& path)
{
    return GetModuleHandleW(widen(path).c_str()) != nullptr;
}

}   // namespace vsthost
