#pragma once

#include "TestXlib.h"

#include <cstdint>
#include <vector>

// What the X server holds of a window, asked directly.
std::vector<Window> ChildWindows(Display* display, Window w);
// The server's pixels of `w` inside the rectangle, 0xRRGGBB each, row by
// row; empty when the server gives none.
std::vector<uint32_t> WindowPixels(Display* display, Window w, int x, int y, int width, int height);
