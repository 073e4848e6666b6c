#include "vst3/ParamQueueMerge.h"

void ParamQueueMerge::Seek(Cursor& c) const
{
    for (; c.next < c.count; ++c.next) {
        Steinberg::int32 offset = 0;
        Steinberg::Vst::ParamValue value = 0.0;
        if (c.queue->getPoint(c.next, offset, value) == Steinberg::kResultOk) {
            c.offset = Clamp(offset);
            c.value = value;
            return;
        }
    }
}
