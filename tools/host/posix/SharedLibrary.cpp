#include "SharedLibrary.h"

#include <dlfcn.h>
#include <sys/utsname.h>

namespace vsthost {

bool SharedLibrary::open(const std::string& path, std::string& error, bool bindNow)
{
    close();
    handle_ = ::dlopen(path.c_str(), (bindNow ? RTLD_NOW : RTLD_LAZY) | RTLD_LOCAL);
    if (handle_)
        return true;
    const char* why = ::dlerror();
    error = why ? why : "dlopen failed";
    return false;
}

void SharedLibrary::close()
{
    if (handle_)
        ::dlclose(handle_);
    handle_ = nullptr;
}

void* SharedLibrary::symbol(const char* name) const
{
    return handle_ ? ::dlsym(handle_, name) : nullptr;
}

bool SharedLibrary::exportsEntry() const
{
    return symbol(entryName()) != nullptr;
}

SharedLibrary::Entry SharedLibrary::enter()
{
    auto entry = reinterpret_cast<bool (*)(void*)>(symbol(entryName()));
    if (!entry)
        return Entry::kMissing;
    return entry(handle_) ? Entry::kDone : Entry::kFailed;
}

void SharedLibrary::exit()
{
    if (auto leave = reinterpret_cast<bool (*)()>(symbol(exitName())))
        leave();
}

const char* SharedLibrary::entryName()
{
    return "ModuleEntry";
}

const char* SharedLibrary::exitName()
{
    return "ModuleExit";
}

std::string SharedLibrary::libraryInBundle(const std::string& bundle, const std::string& name)
{
    struct utsname machine;
    if (::uname(&machine) != 0)
        return std::string();
    return bundle + "/Contents/" + machine.machine + "-linux/" + name + ".so";
}

bool SharedLibrary::isMapped(const std::string& path)
{
    void* still = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!still)
        return false;
    ::dlclose(still);
    return true;
}

}   // namespace vsthost
