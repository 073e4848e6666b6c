#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <algorithm>
#include <cstdint>

// The points of one block's parameter queues in the order of their sample
// offsets, one cursor per queue in a fixed array: the audio thread merges
// them without allocating. Offsets below 0 count as 0; offsets at or past
// the block's end count as its end, so they hold from the next block.
class ParamQueueMerge {
public:
    // Far more than a host sends (one queue per parameter). The queues past
    // it (a host repeating a parameter) are read again at every offset:
    // slower, never out of order.
    static constexpr int32_t kMaxQueues = 64;

    // Takes the queues whose ID known(id) accepts, in the host's order;
    // unreadable points are passed over.
    template <typename Known>
    void Start(Steinberg::Vst::IParameterChanges* changes, int32_t blockLength, Known known);
    // The offset of the earliest point not yet applied; the block's length
    // when none is left.
    template <typename Known>
    int32_t NextOffset(Known known) const;
    // Every point at or before offset, queue by queue in the host's order:
    // a queue's later point at the same offset wins.
    template <typename Known, typename Apply>
    void ApplyUpTo(int32_t offset, Known known, Apply apply);

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
    int32_t Clamp(Steinberg::int32 offset) const { return std::min(std::max<int32_t>(offset, 0), length); }
    // Calls visit(id, offset, value) for each point not yet applied of the
    // queues without a cursor.
    template <typename Known, typename Visit>
    void ForEachOverflowPoint(Known known, Visit visit) const;

    Cursor cursors[kMaxQueues];
    int32_t used = 0;
    int32_t length = 0;
    Steinberg::Vst::IParameterChanges* overflow = nullptr;
    int32_t overflowFrom = 0;
    // Points at or before this offset have been applied.
    int32_t appliedTo = -1;
};

template <typename Known>
void ParamQueueMerge::Start(Steinberg::Vst::IParameterChanges* changes, int32_t blockLength, Known known)
{
    used = 0;
    length = blockLength;
    overflow = nullptr;
    appliedTo = -1;
    const int32_t queues = changes ? changes->getParameterCount() : 0;
    for (int32_t q = 0; q < queues; ++q) {
        Steinberg::Vst::IParamValueQueue* queue = changes->getParameterData(q);
        if (!queue || !known(queue->getParameterId()))
            continue;
        if (used == kMaxQueues) {
            overflow = changes;
            overflowFrom = q;
            return;
        }
        Cursor c{queue, queue->getParameterId(), 0, queue->getPointCount(), 0, 0.0};
        Seek(c);
        if (c.next < c.count)
            cursors[used++] = c;
    }
}

template <typename Known, typename Visit>
void ParamQueueMerge::ForEachOverflowPoint(Known known, Visit visit) const
{
    const int32_t queues = overflow ? overflow->getParameterCount() : 0;
    for (int32_t q = overflowFrom; q < queues; ++q) {
        Steinberg::Vst::IParamValueQueue* queue = overflow->getParameterData(q);
        if (!queue || !known(queue->getParameterId()))
            continue;
        const int32_t points = queue->getPointCount();
        for (int32_t k = 0; k < points; ++k) {
            Steinberg::int32 offset = 0;
            Steinberg::Vst::ParamValue value = 0.0;
            if (queue->getPoint(k, offset, value) == Steinberg::kResultOk && Clamp(offset) > appliedTo)
                visit(queue->getParameterId(), Clamp(offset), value);
        }
    }
}

template <typename Known>
int32_t ParamQueueMerge::NextOffset(Known known) const
{
    int32_t next = length;
    for (int32_t i = 0; i < used; ++i) {
        if (cursors[i].next < cursors[i].count)
            next = std::min(next, cursors[i].offset);
    }
    ForEachOverflowPoint(
        known, [&next](Steinberg::Vst::ParamID, int32_t at, Steinberg::Vst::ParamValue) { next = std::min(next, at); });
    return next;
}

template <typename Known, typename Apply>
void ParamQueueMerge::ApplyUpTo(int32_t offset, Known known, Apply apply)
{
    for (int32_t i = 0; i < used; ++i) {
        Cursor& c = cursors[i];
        for (; c.next < c.count && c.offset <= offset; ++c.next, Seek(c))
            apply(c.id, c.value);
    }
    ForEachOverflowPoint(known, [&](Steinberg::Vst::ParamID id, int32_t at, Steinberg::Vst::ParamValue value) {
        if (at <= offset)
            apply(id, value);
    });
    appliedTo = offset;
}
