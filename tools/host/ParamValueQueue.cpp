#include "ParamValueQueue.h"

using namespace Steinberg;

namespace vsthost {

ParamValueQueue::ParamValueQueue(int capacity, bool growable)
    : capacity_(capacity > 0 ? capacity : 1),
      growable_(growable)
{
    points_.reserve(capacity_);
}

void ParamValueQueue::reset(Vst::ParamID id)
{
    id_ = id;
    points_.clear();
    unreadable_ = false;
}

bool ParamValueQueue::append(int32 sampleOffset, Vst::ParamValue value)
{
    if (full())
        return false;
    points_.push_back(Point{sampleOffset, value});
    return true;
}

int32 PLUGIN_API ParamValueQueue::getPointCount()
{
    return static_cast<int32>(points_.size());
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& sampleOffset, Vst::ParamValue& value)
{
    if (unreadable_ || index < 0 || index >= static_cast<int32>(points_.size()))
        return kInvalidArgument;
    sampleOffset = points_[index].offset;
    value = points_[index].value;
    return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 sampleOffset, Vst::ParamValue value, int32& index)
{
    if (sampleOffset < 0)
        return kInvalidArgument;
    size_t at = 0;
    while (at < points_.size() && points_[at].offset < sampleOffset)
        ++at;
    if (at < points_.size() && points_[at].offset == sampleOffset) {
        points_[at].value = value;
        index = static_cast<int32>(at);
        return kResultOk;
    }
    // Growing would allocate on the audio thread.
    if (full())
        return kResultFalse;
    points_.insert(points_.begin() + static_cast<std::ptrdiff_t>(at), Point{sampleOffset, value});
    index = static_cast<int32>(at);
    return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::queryInterface(const TUID queried, void** obj)
{
    QUERY_INTERFACE(queried, obj, FUnknown::iid, Vst::IParamValueQueue)
    QUERY_INTERFACE(queried, obj, Vst::IParamValueQueue::iid, Vst::IParamValueQueue)
    *obj = nullptr;
    return kNoInterface;
}

}   // namespace vsthost
