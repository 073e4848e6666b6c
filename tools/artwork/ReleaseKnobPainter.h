#pragma once

#include "Strip.h"

// The six-position release selector: a bakelite pointer knob resting on one
// detent per frame.
class ReleaseKnobPainter {
public:
    static void Paint(const Strip& strip);
};
