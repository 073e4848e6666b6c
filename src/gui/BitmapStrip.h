#pragma once

#include <cstdint>

class PIX_IBitmap;

// A bitmap holding `frames` equally sized frames, stacked vertically or laid
// out side by side. The bitmap belongs to the process-wide bitmap cache.
struct BitmapStrip {
    PIX_IBitmap* bitmap = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t frames = 1;
    bool horizontal = false;
    // The resource the bitmap was loaded from (0: none); the editor finds the
    // strip's other densities by it.
    int32_t resourceId = 0;

    int32_t FrameWidth() const;
    int32_t FrameHeight() const;

    // The frame (1 to frames) that shows a normalised value: value 0 is frame
    // 1, value 1 the last frame, rounded to the nearest frame in between.
    int32_t FrameFor(double value) const;

    // Top-left corner of a frame (counted from 1) inside the bitmap.
    void FrameOrigin(int32_t frame, int32_t* x, int32_t* y) const;
};
