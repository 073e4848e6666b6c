#include "startup/PluginBundle.h"

#include "pluginterfaces/vst/ivstcomponent.h"

#include <cstring>

#include <utility>

using namespace Steinberg;

PluginBundle::PluginBundle(std::string path_) : path(std::move(path_))
{
}

PluginBundle::~PluginBundle()
{
    Close();
}

bool PluginBundle::Open()
{
    if (module.open(path, true))
        return true;
    error = module.error();
    return false;
}

bool PluginBundle::TakeFactory()
{
    factory = module.createFactory();
    if (!factory)
        error = "no factory";
    return factory != nullptr;
}

bool PluginBundle::ReadClassInfos()
{
    if (!factory)
        return false;
    PFactoryInfo info;
    if (factory->getFactoryInfo(&info) != kResultOk)
        return false;
    IPluginFactory2* factory2 = nullptr;
    IPluginFactory3* factory3 = nullptr;
    factory->queryInterface(IPluginFactory2::iid, reinterpret_cast<void**>(&factory2));
    factory->queryInterface(IPluginFactory3::iid, reinterpret_cast<void**>(&factory3));
    bool ok = factory2 && factory3;
    const int32 count = factory->countClasses();
    for (int32 i = 0; ok && i < count; ++i) {
        PClassInfo ci;
        PClassInfo2 ci2;
        PClassInfoW ciw;
        ok = factory->getClassInfo(i, &ci) == kResultOk && factory2->getClassInfo2(i, &ci2) == kResultOk &&
            factory3->getClassInfoUnicode(i, &ciw) == kResultOk;
        if (ok && i == 0)
            std::memcpy(classId, ci.cid, sizeof classId);
    }
    if (factory3)
        factory3->release();
    if (factory2)
        factory2->release();
    if (!ok)
        error = "a class information query failed";
    return ok && count > 0;
}

FUnknown* PluginBundle::CreateInstance()
{
    void* obj = nullptr;
    if (!factory || factory->createInstance(classId, Vst::IComponent::iid, &obj) != kResultOk)
        return nullptr;
    return static_cast<FUnknown*>(static_cast<Vst::IComponent*>(obj));
}

void PluginBundle::Close()
{
    if (factory) {
        factory->release();
        factory = nullptr;
    }
    module.unload();
}

bool PluginBundle::IsUnloaded() const
{
    return !vsthost::SharedLibrary::isMapped(path);
}
