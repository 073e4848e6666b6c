#pragma once

#include "host/ParameterChanges.h"

// The parameter queues of one block, in storage fixed in advance, so that a
// test counting allocations around process sees only the plug-in's.
class FixedParameterChanges : public vsthost::ParameterChanges {
public:
    static constexpr int kCapacity = 16;
    static constexpr int kPointsPerQueue = 4;

    FixedParameterChanges() : vsthost::ParameterChanges(kCapacity, kPointsPerQueue) {}

    void Clear() { clear(); }
    // A queue with one point at offset 0, the way hosts send most changes.
    vsthost::ParamValueQueue& Add(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value);
};
