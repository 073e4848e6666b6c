#include "gui/KnobControl.h"

namespace {
constexpr double kFineFactor = 10.0;
constexpr double kWheelStep = 0.01;
constexpr double kFineWheelStep = 0.001;
}   // namespace

KnobControl::KnobControl(PlugCore* plug, const Bounds& rect, int32_t paramIdx, int32_t direction_, double gearing_,
                         const BlendStyle& blend)
    : Control(plug, rect, paramIdx, blend),
      direction(direction_),
      gearing(gearing_)
{
}

void KnobControl::MouseDrag(int32_t /*x*/, int32_t /*y*/, int32_t dX, int32_t dY, const MouseModifiers& mods)
{
    double g = gearing;
    if (mods.shift || mods.control)
        g *= kFineFactor;

    const Bounds& r = Rect();
    // Screen y grows downward, so top - bottom makes an upward drag positive.
    const double span =
        direction == kKnobVertical ? static_cast<double>(r.top) - r.bottom : static_cast<double>(r.right) - r.left;
    const double delta = direction == kKnobVertical ? dY : dX;
    if (span != 0.0 && g != 0.0)
        SetValue(Value() + delta / span / g);
    MarkDirty(true);
}

void KnobControl::MouseWheel(int32_t /*x*/, int32_t /*y*/, const MouseModifiers& mods, int32_t steps)
{
    const double step = (mods.shift || mods.control) ? kFineWheelStep : kWheelStep;
    SetValue(Value() + steps * step);
    MarkDirty(true);
}
