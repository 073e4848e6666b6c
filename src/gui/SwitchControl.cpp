#include "gui/SwitchControl.h"

namespace {
// Slack for the sum of repeated steps landing a hair above 1.
constexpr double kWrapAbove = 1.001;
}   // namespace

void SwitchControl::MouseDown(int32_t /*x*/, int32_t /*y*/, const MouseModifiers& /*mods*/)
{
    const int32_t n = Strip().frames;
    const double step = n > 1 ? 1.0 / (n - 1) : 1.0;
    double v = Value() + step;
    if (v > kWrapAbove)
        v = 0.0;
    SetValue(v);
    MarkDirty(true);
}

void SwitchControl::MouseDoubleClick(int32_t x, int32_t y, const MouseModifiers& mods)
{
    // A fast second click is still a click.
    MouseDown(x, y, mods);
}
