#pragma once

#include "gui/BitmapStrip.h"
#include "gui/KnobControl.h"

// A knob drawn from a strip: one frame per position.
class StripKnobControl : public KnobControl {
public:
    StripKnobControl(PlugCore* plug, int32_t x, int32_t y, int32_t paramIdx, const BitmapStrip& strip,
                     int32_t direction, double gearing);

    bool Draw(Editor& editor) override;

    const BitmapStrip& Strip() const { return strip; }
    int32_t CurrentFrame() const { return strip.FrameFor(Value()); }

private:
    BitmapStrip strip;
};
