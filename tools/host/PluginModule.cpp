#include "PluginModule.h"

#include "VstText.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <cstring>
#include <sys/stat.h>

using namespace Steinberg;

namespace vsthost {
namespace {
std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    return path;
}

std::string folderName(const std::string& bundle)
{
    const size_t slash = bundle.find_last_of("/\\");
    return slash == std::string::npos ? bundle : bundle.substr(slash + 1);
}

const std::string kSuffix = ".vst3";

bool endsInSuffix(const std::string& name)
{
    return name.size() > kSuffix.size() && name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0;
}

typedef IPluginFactory*(PLUGIN_API* GetFactoryFunction)();
}   // namespace

PluginModule::PluginModule(const std::string& libraryPath)
{
    open(libraryPath);
}

PluginModule::~PluginModule()
{
    unload();
}

bool PluginModule::libraryInBundle(const std::string& bundlePath, std::string& libraryPath, std::string& error)
{
    const std::string bundle = withoutTrailingSlashes(bundlePath);
    struct stat st;
    if (::stat(bundle.c_str(), &st) != 0) {
        error = "no plug-in bundle at '" + bundle + "'";
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        error = "'" + bundle + "' is a file, not a .vst3 bundle folder (pass the NAME.vst3 folder)";
        return false;
    }
    if (!endsInSuffix(folderName(bundle))) {
        error = "'" + bundle + "' is not a VST 3 bundle: its folder name must end in .vst3";
        return false;
    }
    libraryPath = SharedLibrary::libraryInBundle(bundle, bundleName(bundle));
    if (libraryPath.empty()) {
        error = "cannot tell this machine's architecture";
        return false;
    }
    if (::stat(libraryPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "bundle '" + bundle + "' holds no library '" + libraryPath + "'";
        return false;
    }
    return true;
}

std::string PluginModule::bundleName(const std::string& bundlePath)
{
    std::string name = folderName(withoutTrailingSlashes(bundlePath));
    if (endsInSuffix(name))
        name.erase(name.size() - kSuffix.size());
    return name;
}

bool PluginModule::open(const std::string& libraryPath, bool bindNow)
{
    unload();
    libraryPath_ = libraryPath;
    std::string why;
    if (!library_.open(libraryPath, why, bindNow)) {
        error_ = "cannot load '" + libraryPath + "': " + why;
        return false;
    }
    return enter();
}

bool PluginModule::enter()
{
    switch (library_.enter()) {
    case SharedLibrary::Entry::kDone: entered_ = true; break;
    case SharedLibrary::Entry::kMissing:
        error_ = "'" + libraryPath_ + "' is not a VST 3 plug-in: it does not export " + SharedLibrary::entryName();
        break;
    case SharedLibrary::Entry::kFailed:
        error_ = std::string("the plug-in's ") + SharedLibrary::entryName() + " failed";
        break;
    }
    return entered_;
}

bool PluginModule::load(const std::string& bundlePath, std::string& error)
{
    unload();
    bundlePath_ = bundlePath;
    if (!libraryInBundle(bundlePath, libraryPath_, error))
        return false;
    std::string why;
    if (!library_.open(libraryPath_, why)) {
        error = "cannot load '" + libraryPath_ + "': " + why;
        return false;
    }
    // Both exports are checked before the module is entered at all.
    const bool entry = library_.exportsEntry();
    if (!entry || !symbol("GetPluginFactory")) {
        error = "'" + libraryPath_ + "' is not a VST 3 plug-in: it does not export " +
            (entry ? "GetPluginFactory" : SharedLibrary::entryName());
        unload();
        return false;
    }
    if (!enter()) {
        error = error_;
        unload();
        return false;
    }
    factory_ = createFactory();
    if (!factory_) {
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
    if (factory_) {
        factory_->release();
        factory_ = nullptr;
    }
    if (entered_)
        library_.exit();
    library_.close();
    entered_ = false;
    vendor_.clear();
}

IPluginFactory* PluginModule::createFactory() const
{
    auto get = reinterpret_cast<GetFactoryFunction>(symbol("GetPluginFactory"));
    return get ? get() : nullptr;
}

bool PluginModule::findAudioEffect(EffectClass& effect, std::string& error) const
{
    if (!factory_) {
        error = "no plug-in loaded";
        return false;
    }
    IPluginFactory2* factory2 = nullptr;
    factory_->queryInterface(IPluginFactory2::iid, reinterpret_cast<void**>(&factory2));

    const int32 count = factory_->countClasses();
    bool found = false;
    for (int32 i = 0; i < count && !found; ++i) {
        PClassInfo info;
        if (factory_->getClassInfo(i, &info) != kResultOk)
            continue;
        if (VstText::fromField(info.category, sizeof info.category) != kVstAudioEffectClass)
            continue;
        found = true;
        std::memcpy(effect.cid, info.cid, sizeof(TUID));
        effect.name = VstText::fromField(info.name, sizeof info.name);
        PClassInfo2 info2;
        if (factory2 && factory2->getClassInfo2(i, &info2) == kResultOk) {
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

}   // namespace vsthost
