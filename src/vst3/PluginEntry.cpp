// The module's exported entry points and its one factory class.
#include "plug/Tidepull.h"
#include "vst3/sdk/CPluginFactory.h"
#include "vst3/sdk/ModuleEntry.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <mutex>
#include <new>

using namespace Steinberg;

#define TIDEPULL_EXPORT extern "C" SMTG_EXPORT_SYMBOL

namespace {

// 0D E7 AE F2 DE 00 4E 4F, then the maker code and the plug code, in the
// same byte order on every platform.
const TUID kTidepullClassId = {'\x0D', '\xE7', '\xAE', '\xF2', '\xDE', '\x00', '\x4E', '\x4F',
                               'Q',    'l',    'm',    'r',    'T',    'd',    'p',    '1'};

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

} // namespace

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
        gFactoryInfo = PFactoryInfo("Quillmarch", "https://quillmarch.example/tidepull",
                                    "support@quillmarch.example", PFactoryInfo::kUnicode);
        gFactoryInfoFilled = true;
    }
    gPluginFactory = new CPluginFactory(gFactoryInfo);
    if (!gClassInfoFilled) {
        gClassInfo = PClassInfo2(kTidepullClassId, PClassInfo::kManyInstances, kVstAudioEffectClass,
                                 "Tidepull", Vst::kSimpleModeSupported, "Fx|Dynamics", "", "5.0.0",
                                 "VST 3.6.12");
        gClassInfoFilled = true;
    }
    gPluginFactory->registerClass(&gClassInfo, CreateTidepull);
    return gPluginFactory;
}
