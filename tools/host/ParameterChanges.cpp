#include "ParameterChanges.h"

using namespace Steinberg;

namespace vsthost {

ParameterChanges::ParameterChanges(int maxQueues, int pointsPerQueue, bool growable)
    : pointsPerQueue_(pointsPerQueue),
      growable_(growable)
{
    for (int i = 0; i < maxQueues; ++i)
        queues_.push_back(std::make_unique<ParamValueQueue>(pointsPerQueue, growable));
    slots_.reserve(queues_.size());
}

void ParameterChanges::clear()
{
    slots_.clear();
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

ParamValueQueue* ParameterChanges::addQueue(Vst::ParamID id)
{
    if (used_ >= queues_.size()) {
        if (!growable_)
            return nullptr;
        queues_.push_back(makeQueue());
    }
    if (full())
        return nullptr;
    ParamValueQueue* queue = queues_[used_++].get();
    queue->reset(id);
    slots_.push_back(queue);
    return queue;
}

bool ParameterChanges::addNullSlot()
{
    if (full())
        return false;
    slots_.push_back(nullptr);
    return true;
}

std::unique_ptr<ParamValueQueue> ParameterChanges::makeQueue()
{
    return std::make_unique<ParamValueQueue>(pointsPerQueue_, growable_);
}

int32 PLUGIN_API ParameterChanges::getParameterCount()
{
    return static_cast<int32>(slots_.size());
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index)
{
    if (index < 0 || static_cast<size_t>(index) >= slots_.size())
        return nullptr;
    return slots_[index];
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const Vst::ParamID& id, int32& index)
{
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i] && slots_[i]->getParameterId() == id) {
            index = static_cast<int32>(i);
            return slots_[i];
        }
    }
    ParamValueQueue* queue = addQueue(id);
    if (queue)
        index = static_cast<int32>(slots_.size() - 1);
    return queue;
}

tresult PLUGIN_API ParameterChanges::queryInterface(const TUID queried, void** obj)
{
    QUERY_INTERFACE(queried, obj, FUnknown::iid, Vst::IParameterChanges)
    QUERY_INTERFACE(queried, obj, Vst::IParameterChanges::iid, Vst::IParameterChanges)
    *obj = nullptr;
    return kNoInterface;
}

}   // namespace vsthost
