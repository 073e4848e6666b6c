#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/base/ipluginbase.h"

#include <vector>

namespace Steinberg {

// The module's class factory: a list of registered classes, each with its
// class information and a create function. Reference counted; starts with
// one reference, which the host takes over from GetPluginFactory.
class CPluginFactory : public IPluginFactory3 {
public:
    explicit CPluginFactory(const PFactoryInfo& info);
    virtual ~CPluginFactory();

    CPluginFactory(const CPluginFactory&) = delete;
    CPluginFactory& operator=(const CPluginFactory&) = delete;

    // createFunc returns a new object holding one reference (or null);
    // context is handed to it unchanged. False for a null info or function.
    bool registerClass(const PClassInfo* info, FUnknown* (*createFunc)(void*), void* context = nullptr);
    bool registerClass(const PClassInfo2* info, FUnknown* (*createFunc)(void*), void* context = nullptr);
    bool registerClass(const PClassInfoW* info, FUnknown* (*createFunc)(void*), void* context = nullptr);

    bool isRegistered(const FUID& cid);
    void removeAllClasses();

    // IPluginFactory
    tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) SMTG_OVERRIDE;
    int32 PLUGIN_API countClasses() SMTG_OVERRIDE;
    tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) SMTG_OVERRIDE;
    tresult PLUGIN_API createInstance(FIDString cid, FIDString _iid, void** obj) SMTG_OVERRIDE;

    // IPluginFactory2
    tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) SMTG_OVERRIDE;

    // IPluginFactory3
    tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) SMTG_OVERRIDE;
    tresult PLUGIN_API setHostContext(FUnknown* context) SMTG_OVERRIDE;

    DECLARE_FUNKNOWN_METHODS

protected:
    struct PClassEntry {
        PClassInfo2 info8;
        PClassInfoW info16;
        FUnknown* (*createFunc)(void*) = nullptr;
        void* context = nullptr;
        // Registered in UTF-16 only: there is no 8-bit information to give.
        bool isUnicode = false;
    };

    bool validIndex(int32 index) const;

    PFactoryInfo factoryInfo;
    std::vector<PClassEntry> classes;
};

}   // namespace Steinberg

// The module's one factory; the factory clears it when it is destroyed.
extern Steinberg::CPluginFactory* gPluginFactory;
