#include "ParameterChanges.h"

using namespace Steinberg;

ParameterChanges::ParameterChanges(int maxQueues, int pointsPerQueue)
{
    for (int i = 0; i < maxQueues; ++i)
        queues_.push_back(std::make_unique<ParamValueQueue>(pointsPerQueue));
}

void ParameterChanges::clear()
{
    used_ = 0;
}

bool ParameterChanges::add(Vst::ParamID id, int32 sampleOffset, Vst::ParamValue value)
{
    int32 index = 0;
    Vst::IParamValueQueue* queue = addParameterData(id, index);
    if (!queue)
        return false;
    int32 pointIndex = 0;
    return queue->addPoint(sampleOffset, value, pointIndex) == kResultOk;
}

int32 PLUGIN_API ParameterChanges::getParameterCount()
{
    return static_cast<int32>(used_);
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index)
{
    if (index < 0 || static_cast<size_t>(index) >= used_)
        return nullptr;
    return queues_[index].get();
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const Vst::ParamID& id, int32& index)
{
    for (size_t i = 0; i < used_; ++i)
    {
        if (queues_[i]->getParameterId() == id)
        {
            index = static_cast<int32>(i);
            return queues_[i].get();
        }
    }
    if (used_ >= queues_.size())
        return nullptr;
    queues_[used_]->reset(id);
    index = static_cast<int32>(used_);
    return queues_[used_++].get();
}

tresult PLUGIN_API ParameterChanges::queryInterface(const TUID queried, void** obj)
{
    QUERY_INTERFACE(queried, obj, FUnknown::iid, Vst::IParameterChanges)
    QUERY_INTERFACE(queried, obj, Vst::IParameterChanges::iid, Vst::IParameterChanges)
    *obj = nullptr;
    return kNoInterface;
}
