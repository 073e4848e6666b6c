#include "vst3/ParamQueueMerge.h"

#include <algorithm>

void ParamQueueMerge::Seek(Cursor& c) const
{
    for (; c.next < c.count; ++c.next) {
        Steinberg::int32 offset = 0;
        Steinberg::Vst::ParamValue value = 0.0;
        if (c.queue->getPoint(c.next, offset, value) == Steinberg::kResultOk) {
            c.offset = std::min(std::max<int32_t>(offset, 0), length);
            c.value = value;
            return;
        }
    }
}

int32_t ParamQueueMerge::NextOffset() const
{
    int32_t next = length;
    for (int32_t i = 0; i < used; ++i) {
        if (cursors[i].next < cursors[i].count)
            next = std::min(next, cursors[i].offset);
    }
    return next;
}
