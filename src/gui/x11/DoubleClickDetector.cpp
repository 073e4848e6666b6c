#include "gui/x11/DoubleClickDetector.h"

#include <cstdlib>

bool DoubleClickDetector::Press(uint32_t timeMs, int32_t x, int32_t y)
{
    // Unsigned difference: right across the clock's wrap.
    const bool second = armed && timeMs - lastTime <= kMaxIntervalMs && std::abs(x - lastX) <= kMaxDistance &&
        std::abs(y - lastY) <= kMaxDistance;
    armed = !second;
    lastTime = timeMs;
    lastX = x;
    lastY = y;
    return second;
}
