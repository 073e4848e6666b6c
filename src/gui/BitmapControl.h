#pragma once

#include "gui/BitmapStrip.h"
#include "gui/Control.h"

// Shows the frame of its strip that matches its value.
class BitmapControl : public Control {
public:
    BitmapControl(PlugCore* plug, int32_t x, int32_t y, int32_t paramIdx, const BitmapStrip& strip,
                  int32_t blendMethod);

    bool Draw(Editor& editor) override;

    const BitmapStrip& Strip() const { return strip; }
    // The frame (counted from 1) the current value shows.
    int32_t CurrentFrame() const { return strip.FrameFor(Value()); }

private:
    BitmapStrip strip;
};
