#pragma once

#include <cstdint>

// The mouse buttons a window reports.
enum MouseButton : int32_t {
    kMouseLeft = 0,
    kMouseRight = 1,
    kMouseMiddle = 2,
};
