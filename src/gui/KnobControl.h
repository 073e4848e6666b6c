#pragma once

#include "gui/Control.h"

enum KnobDirection : int32_t { kKnobVertical = 0, kKnobHorizontal = 1 };

// Base of knobs: turns drags and wheel steps into value changes. A drag over
// the full range spans gearing times the control's height (or width).
class KnobControl : public Control {
public:
    KnobControl(PlugCore* plug, const Bounds& rect, int32_t paramIdx, int32_t direction, double gearing,
                const BlendStyle& blend = BlendStyle());

    void MouseDrag(int32_t x, int32_t y, int32_t dX, int32_t dY, const MouseModifiers& mods) override;
    void MouseWheel(int32_t x, int32_t y, const MouseModifiers& mods, int32_t steps) override;

    int32_t Direction() const { return direction; }
    double Gearing() const { return gearing; }

private:
    int32_t direction;
    double gearing;
};
