#pragma once

#include "gui/BitmapControl.h"

// A bitmap control that steps to its next frame on every click and wraps
// around after the last one.
class SwitchControl : public BitmapControl {
public:
    using BitmapControl::BitmapControl;

    void MouseDown(int32_t x, int32_t y, const MouseModifiers& mods) override;
    void MouseDoubleClick(int32_t x, int32_t y, const MouseModifiers& mods) override;
};
