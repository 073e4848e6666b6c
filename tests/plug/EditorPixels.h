#pragma once

#include "gui/Bounds.h"
#include "pix/PIX_Pixel32.h"

#include <cstdint>
#include <vector>

class Editor;

// What the Tidepull editor shows, read from its drawing surface, and what a
// control must look like, built from the artwork itself: the panel with one
// frame of the control's strip laid over it by its alpha.
class EditorPixels {
public:
    // The surface inside `rect`, row by row.
    static std::vector<PIX_Pixel32> Shown(const Editor& editor, const Bounds& rect);
    // The whole surface.
    static std::vector<PIX_Pixel32> Snapshot(const Editor& editor);
    // The panel inside `rect` with frame `frame` (from 1) of the strip
    // `stripId` (of `frames` frames stacked vertically) over it.
    static std::vector<PIX_Pixel32> Expected(int32_t stripId, int32_t frames, int32_t frame, const Bounds& rect);
};
