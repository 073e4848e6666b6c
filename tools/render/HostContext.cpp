#include "HostContext.h"

#include "VstText.h"

using namespace Steinberg;

HostContext::HostContext(const std::string& name) : name_(name)
{
    FUNKNOWN_CTOR
}

IMPLEMENT_REFCOUNT(HostContext)

tresult PLUGIN_API HostContext::queryInterface(const TUID queried, void** obj)
{
    QUERY_INTERFACE(queried, obj, FUnknown::iid, Vst::IHostApplication)
    QUERY_INTERFACE(queried, obj, Vst::IHostApplication::iid, Vst::IHostApplication)
    *obj = nullptr;
    return kNoInterface;
}

tresult PLUGIN_API HostContext::getName(Vst::String128 name)
{
    if (!name)
        return kInvalidArgument;
    VstText::toUtf16(name_, name, 128);
    return kResultOk;
}

tresult PLUGIN_API HostContext::createInstance(TUID, TUID, void** obj)
{
    if (obj)
        *obj = nullptr;
    return kResultFalse;
}
