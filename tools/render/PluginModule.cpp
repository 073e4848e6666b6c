#include "PluginModule.h"

#include "VstText.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

using namespace Steinberg;

namespace
{
const char* const kBundleName = "Tidepull.vst3";

bool isFolder(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ownFolder()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return std::string();
    buffer[n] = '\0';
    std::string path(buffer);
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

typedef bool (*ModuleEntryFunction)(void*);
typedef bool (*ModuleExitFunction)();
typedef IPluginFactory* (*GetFactoryFunction)();
}

PluginModule::~PluginModule()
{
    unload();
}

bool PluginModule::libraryInBundle(const std::string& bundlePath, std::string& libraryPath, std::string& error)
{
    std::string bundle = bundlePath;
    while (bundle.size() > 1 && bundle.back() == '/')
        bundle.pop_back();

    struct stat st;
    if (::stat(bundle.c_str(), &st) != 0)
    {
        error = "no plug-in bundle at '" + bundle + "'";
        return false;
    }
    const std::string suffix = ".vst3";
    const size_t slash = bundle.rfind('/');
    const std::string folder = slash == std::string::npos ? bundle : bundle.substr(slash + 1);
    if (!S_ISDIR(st.st_mode))
    {
        error = "'" + bundle + "' is a file, not a .vst3 bundle folder (pass the NAME.vst3 folder)";
        return false;
    }
    if (folder.size() <= suffix.size() || folder.compare(folder.size() - suffix.size(), suffix.size(), suffix) != 0)
    {
        error = "'" + bundle + "' is not a VST 3 bundle: its folder name must end in .vst3";
        return false;
    }

    struct utsname machine;
    if (::uname(&machine) != 0)
    {
        error = "cannot tell this machine's architecture";
        return false;
    }
    const std::string name = folder.substr(0, folder.size() - suffix.size());
    libraryPath = bundle + "/Contents/" + machine.machine + "-linux/" + name + ".so";
    if (::stat(libraryPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    {
        error = "bundle '" + bundle + "' holds no library '" + libraryPath + "'";
        return false;
    }
    return true;
}

std::string PluginModule::defaultBundle()
{
    std::vector<std::string> candidates;
    const std::string own = ownFolder();
    if (!own.empty())
        candidates.push_back(own + "/" + kBundleName);
#ifdef TIDEPULL_BUILD_BUNDLE
    const std::string built = TIDEPULL_BUILD_BUNDLE;
#else
    const std::string built;
#endif
    if (!built.empty())
        candidates.push_back(built);
    if (const char* home = std::getenv("HOME"))
        candidates.push_back(std::string(home) + "/.vst3/" + kBundleName);
    candidates.push_back(std::string("/usr/local/lib/vst3/") + kBundleName);
    candidates.push_back(std::string("/usr/lib/vst3/") + kBundleName);
    for (const std::string& path : candidates)
        if (isFolder(path))
            return path;
    return built.empty() ? candidates.front() : built;
}

bool PluginModule::load(const std::string& bundlePath, std::string& error)
{
    unload();
    bundlePath_ = bundlePath;
    if (!libraryInBundle(bundlePath, libraryPath_, error))
        return false;

    handle_ = ::dlopen(libraryPath_.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!handle_)
    {
        const char* why = ::dlerror();
        error = "cannot load '" + libraryPath_ + "': " + (why ? why : "unknown reason");
        return false;
    }

    auto entry = reinterpret_cast<ModuleEntryFunction>(::dlsym(handle_, "ModuleEntry"));
    auto getFactory = reinterpret_cast<GetFactoryFunction>(::dlsym(handle_, "GetPluginFactory"));
    if (!entry || !getFactory)
    {
        error = "'" + libraryPath_ + "' is not a VST 3 plug-in: it does not export " +
                (entry ? "GetPluginFactory" : "ModuleEntry");
        unload();
        return false;
    }
    if (!entry(handle_))
    {
        error = "the plug-in's ModuleEntry failed";
        unload();
        return false;
    }
    entered_ = true;

    factory_ = getFactory();
    if (!factory_)
    {
        error = "the plug-in's GetPluginFactory returned no factory";
        unload();
        return false;
    }
    PFactoryInfo info;
    if (factory_->getFactoryInfo(&info) == kResultOk)
        vendor_ = VstText::fromField(info.vendor, sizeof info.vendor);
    return true;
}

void PluginModule::unload()
{
    if (factory_)
    {
        factory_->release();
        factory_ = nullptr;
    }
    if (handle_)
    {
        if (entered_)
        {
            if (auto exitModule = reinterpret_cast<ModuleExitFunction>(::dlsym(handle_, "ModuleExit")))
                exitModule();
        }
        ::dlclose(handle_);
    }
    handle_ = nullptr;
    entered_ = false;
    vendor_.clear();
}

bool PluginModule::findAudioEffect(EffectClass& effect, std::string& error) const
{
    if (!factory_)
    {
        error = "no plug-in loaded";
        return false;
    }
    IPluginFactory2* factory2 = nullptr;
    factory_->queryInterface(IPluginFactory2::iid, reinterpret_cast<void**>(&factory2));

    const int32 count = factory_->countClasses();
    bool found = false;
    for (int32 i = 0; i < count && !found; ++i)
    {
        PClassInfo info;
        if (factory_->getClassInfo(i, &info) != kResultOk)
            continue;
        if (VstText::fromField(info.category, sizeof info.category) != kVstAudioEffectClass)
            continue;
        found = true;
        std::memcpy(effect.cid, info.cid, sizeof(TUID));
        effect.name = VstText::fromField(info.name, sizeof info.name);
        PClassInfo2 info2;
        if (factory2 && factory2->getClassInfo2(i, &info2) == kResultOk)
        {
            effect.vendor = VstText::fromField(info2.vendor, sizeof info2.vendor);
            effect.version = VstText::fromField(info2.version, sizeof info2.version);
            effect.subCategories = VstText::fromField(info2.subCategories, sizeof info2.subCategories);
        }
    }
    if (factory2)
        factory2->release();
    if (!found)
        error = "the plug-in offers no class of category \"" + std::string(kVstAudioEffectClass) + "\" (" +
                std::to_string(count) + " classes)";
    return found;
}
