#include "FixedParameterChanges.h"

vsthost::ParamValueQueue& FixedParameterChanges::Add(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value)
{
    vsthost::ParamValueQueue* queue = addQueue(id);
    // Full: the last queue is reused rather than failing the test's setup.
    if (!queue)
        queue = static_cast<vsthost::ParamValueQueue*>(getParameterData(getParameterCount() - 1));
    queue->append(0, value);
    return *queue;
}
