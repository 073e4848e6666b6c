#include "HostContext.h"

#include "VstText.h"

using namespace Steinberg;

namespace vsthost {

HostContext::HostContext(const std::string& name, bool offersApplication)
    : name_(name),
      offersApplication_(offersApplication)
{
}

tresult PLUGIN_API HostContext::queryInterface(const TUID queried, void** obj)
{
    if (FUnknownPrivate::iidEqual(queried, FUnknown::iid) ||
        (offersApplication_ && FUnknownPrivate::iidEqual(queried, Vst::IHostApplication::iid))) {
        addRef();
        *obj = static_cast<Vst::IHostApplication*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

tresult PLUGIN_API HostContext::getName(Vst::String128 name)
{
    ++nameQueries_;
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

}   // namespace vsthost
