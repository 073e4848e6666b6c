#include "ParameterChanges.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

ParamValueQueue& ParameterChanges::Add(ParamID id)
{
    queues.push_back(std::make_unique<ParamValueQueue>(id));
    return *queues.back();
}

ParamValueQueue& ParameterChanges::Add(ParamID id, ParamValue value)
{
    ParamValueQueue& queue = Add(id);
    queue.Add(0, value);
    return queue;
}

int32 PLUGIN_API ParameterChanges::getParameterCount()
{
    return static_cast<int32>(queues.size());
}

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index)
{
    if (index < 0 || index >= getParameterCount())
        return nullptr;
    return queues[static_cast<size_t>(index)].get();
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const ParamID& id, int32& index)
{
    for (size_t i = 0; i < queues.size(); ++i) {
        if (queues[i] && queues[i]->getParameterId() == id) {
            index = static_cast<int32>(i);
            return queues[i].get();
        }
    }
    index = getParameterCount();
    return &Add(id);
}

tresult PLUGIN_API ParameterChanges::queryInterface(const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, IParameterChanges::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
        addRef();
        *obj = static_cast<IParameterChanges*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}
