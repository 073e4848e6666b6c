// The module's exported entry points and its one factory class.
#include "plug/Tidepull.h"
#include "plug/TidepullIdentity.h"
#include "vst3/sdk/CPluginFactory.h"
#include "vst3/sdk/ModuleEntry.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <mutex>
#include <new>

using namespace Steinberg;

#define TIDEPULL_EXPORT extern "C" SMTG_EXPORT_SYMBOL

namespace {

// The head bytes, then the maker code and the plug code, in the same byte
// order on every platform.
constexpr char IdByte(int i)
{
    using namespace TidepullIdentity;
    return static_cast<char>(i < 8 ? kClassIdHead[i] : i < 12 ? kMakerCode[i - 8] : kPlugCode[i - 12]);
}
const TUID kTidepullClassId = {IdByte(0),  IdByte(1),  IdByte(2),  IdByte(3), IdByte(4),  IdByte(5),
                               IdByte(6),  IdByte(7),  IdByte(8),  IdByte(9), IdByte(10), IdByte(11),
                               IdByte(12), IdByte(13), IdByte(14), IdByte(15)};

PFactoryInfo gFactoryInfo;
PClassInfo2 gClassInfo;
bool gFactoryInfoFilled = false;
bool gClassInfoFilled = false;

// Instances are built one at a time, whichever host threads ask.
std::mutex& CreationLock()
{
    static std::mutex lock;
    return lock;
}

FUnknown* CreateTidepull(void* /*context*/)
{
    Tidepull* plug = nullptr;
    {
        std::lock_guard<std::mutex> lock(CreationLock());
        plug = new (std::nothrow) Tidepull();
    }
    if (!plug)
        return nullptr;
    return static_cast<Vst::IAudioProcessor*>(plug);
}

}   // namespace

// The handle the editor loads its resources through.
void* gModuleInstance = nullptr;

bool InitModule()
{
    return true;
}

bool DeinitModule()
{
    return true;
}

TIDEPULL_EXPORT bool InitDll()
{
    gModuleInstance = moduleHandle;
    return true;
}

TIDEPULL_EXPORT bool ExitDll()
{
    return true;
}

TIDEPULL_EXPORT IPluginFactory* PLUGIN_API GetPluginFactory()
{
    if (gPluginFactory) {
        gPluginFactory->addRef();
        return gPluginFactory;
    }
    if (!gFactoryInfoFilled) {
        gFactoryInfo = PFactoryInfo(TidepullIdentity::kVendor, TidepullIdentity::kUrl, TidepullIdentity::kEmail,
                                    PFactoryInfo::kUnicode);
        gFactoryInfoFilled = true;
    }
    gPluginFactory = new CPluginFactory(gFactoryInfo);
    if (!gClassInfoFilled) {
        gClassInfo =
            PClassInfo2(kTidepullClassId, PClassInfo::kManyInstances, TidepullIdentity::kCategory,
                        TidepullIdentity::kProduct, Vst::kSimpleModeSupported, TidepullIdentity::kSubCategories, "",
                        TidepullIdentity::kVersion, TidepullIdentity::kSdkVersion);
        gClassInfoFilled = true;
    }
    gPluginFactory->registerClass(&gClassInfo, CreateTidepull);
    return gPluginFactory;
}
