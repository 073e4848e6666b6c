#include "FixedParamQueue.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

void FixedParamQueue::Reset(ParamID id)
{
    paramId = id;
    count = 0;
}

void FixedParamQueue::Add(int32 offset, ParamValue value)
{
    int32 index = 0;
    addPoint(offset, value, index);
}

tresult PLUGIN_API FixedParamQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value)
{
    if (index < 0 || index >= count)
        return kResultFalse;
    sampleOffset = offsets[index];
    value = values[index];
    return kResultOk;
}

tresult PLUGIN_API FixedParamQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index)
{
    if (count >= kCapacity)
        return kResultFalse;
    offsets[count] = sampleOffset;
    values[count] = value;
    index = count++;
    return kResultOk;
}

tresult PLUGIN_API FixedParamQueue::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IParamValueQueue)
    QUERY_INTERFACE(iid, obj, IParamValueQueue::iid, IParamValueQueue)
    *obj = nullptr;
    return kNoInterface;
}
