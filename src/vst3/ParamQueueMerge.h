#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <cstdint>

// The points of one block's parameter queues in the order of their sample
// offsets, one cursor per queue in a fixed array: the audio thread merges
// them without allocating. Offsets below 0 count as 0; offsets at or past
// the block's end count as its end, so they hold from the next block.
class ParamQueueMerge {
public:
    // Far more than a host sends (one queue per parameter); the queues
    // beyond it apply all their points at the block's start.
    static constexpr int32_t kMaxQueues = 64;

    // Takes the queues whose ID known(id) accepts, in the host's order;
    // unreadable points are passed over.
    template <typename Known, typename Apply>
    void Start(Steinberg::Vst::IParameterChanges* changes, int32_t blockLength, Known known, Apply apply);
    // The offset of the earliest point not yet applied; the block's length
    // when none is left.
    int32_t NextOffset() const;
    // Every point at or before offset, queue by queue: a queue's later point
    // at the same offset wins.
    template <typename Apply>
    void ApplyUpTo(int32_t offset, Apply apply);

private:
    struct Cursor {
        Steinberg::Vst::IParamValueQueue* queue;
        Steinberg::Vst::ParamID id;
        int32_t next;
        int32_t count;
        int32_t offset;
        Steinberg::Vst::ParamValue value;
    };
    // Moves c to its next readable point at or after c.next.
    void Seek(Cursor& c) const;

    Cursor cursors[kMaxQueues];
    int32_t used = 0;
    int32_t length = 0;
};

template <typename Known, typename Apply>
void ParamQueueMerge::Start(Steinberg::Vst::IParameterChanges* changes, int32_t blockLength, Known known, Apply apply)
{
    used = 0;
    length = blockLength;
    const int32_t queues = changes ? changes->getParameterCount() : 0;
    for (int32_t q = 0; q < queues; ++q) {
        Steinberg::Vst::IParamValueQueue* queue = changes->getParameterData(q);
        if (!queue || !known(queue->getParameterId()))
            continue;
        Cursor c{queue, queue->getParameterId(), 0, queue->getPointCount(), 0, 0.0};
        Seek(c);
        if (c.next >= c.count)
            continue;
        if (used < kMaxQueues) {
            cursors[used++] = c;
            continue;
        }
        for (; c.next < c.count; ++c.next, Seek(c))
            apply(c.id, c.value);
    }
}

template <typename Apply>
void ParamQueueMerge::ApplyUpTo(int32_t offset, Apply apply)
{
    for (int32_t i = 0; i < used; ++i) {
        Cursor& c = cursors[i];
        for (; c.next < c.count && c.offset <= offset; ++c.next, Seek(c))
            apply(c.id, c.value);
    }
}
