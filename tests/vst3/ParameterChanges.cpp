#include "ParameterChanges.h"

ParamValueQueue& ParameterChanges::Add(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value)
{
    ParamValueQueue& queue = Add(id);
    queue.Add(0, value);
    return queue;
}
