#pragma once

#include <cstdint>

// Tells a double click from two single ones, as Windows does for a window
// class that takes double clicks: a left press is the second of a double
// click when it follows the previous left press within kMaxIntervalMs and
// within kMaxDistance pixels each way. A press that completes a double click
// starts no new one, so a third press is a single click again.
class DoubleClickDetector {
public:
    static constexpr uint32_t kMaxIntervalMs = 500;
    static constexpr int32_t kMaxDistance = 4;

    // A left press at `timeMs` (the X server's clock, which wraps) and (x, y);
    // true when it completes a double click.
    bool Press(uint32_t timeMs, int32_t x, int32_t y);
    // Forgets the previous press (another button, the pointer left).
    void Reset() { armed = false; }

private:
    bool armed = false;
    uint32_t lastTime = 0;
    int32_t lastX = 0;
    int32_t lastY = 0;
};
