#include "TestHostContext.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

tresult PLUGIN_API TestHostContext::getName(String128 name)
{
    ++nameQueries;
    size_t i = 0;
    for (; i < 127 && i < hostName.size(); ++i)
        name[i] = static_cast<TChar>(static_cast<unsigned char>(hostName[i]));
    name[i] = 0;
    return kResultOk;
}

tresult PLUGIN_API TestHostContext::createInstance(TUID, TUID, void** obj)
{
    *obj = nullptr;
    return kResultFalse;
}

tresult PLUGIN_API TestHostContext::queryInterface(const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
        (offersApplication && FUnknownPrivate::iidEqual(iid, IHostApplication::iid))) {
        addRef();
        *obj = static_cast<IHostApplication*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}
