#pragma once

#include "ParamValueQueue.h"

#include "host/ParameterChanges.h"

// The list of parameter queues of one block, as a test host builds it: any
// number of queues, the same parameter more than once if asked.
class ParameterChanges : public vsthost::ParameterChanges {
public:
    ParameterChanges() : vsthost::ParameterChanges(0, 8, true) {}

    // An empty queue for id, to add points to.
    ParamValueQueue& Add(Steinberg::Vst::ParamID id) { return static_cast<ParamValueQueue&>(*addQueue(id)); }
    // A queue with one point at offset 0, the way hosts send most changes.
    ParamValueQueue& Add(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value);
    // A slot whose getParameterData answers null.
    void AddNullSlot() { addNullSlot(); }

protected:
    std::unique_ptr<vsthost::ParamValueQueue> makeQueue() override { return std::make_unique<ParamValueQueue>(); }
};
