#pragma once

#include "host/ParamValueQueue.h"

// One parameter's automation points for one block, as a host hands them over:
// any number, kept in the order the test adds them.
class ParamValueQueue : public vsthost::ParamValueQueue {
public:
    explicit ParamValueQueue(Steinberg::Vst::ParamID id = 0) : vsthost::ParamValueQueue(8, true) { reset(id); }

    void Add(Steinberg::int32 offset, Steinberg::Vst::ParamValue value) { append(offset, value); }
    // Every getPoint fails, as with a broken host queue.
    void SetUnreadable(bool on) { setUnreadable(on); }
};
