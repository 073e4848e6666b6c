#pragma once

#include <cstdint>

class PIX_IBitmap;
class PIX_MemBitmap;

// A strip of `frames` equally high frames stacked top to bottom, each frame
// resampled on its own by num / den (so no frame bleeds into its neighbour).
// Every output pixel is the area-weighted mean of the source pixels it
// covers, the colours weighted by their alpha so that transparent pixels lend
// no colour to the edges; all in integers, so every platform gives the same
// bytes. Frame sizes round up (ceil(size * num / den)); where an output pixel
// reaches past its frame, the pixels inside decide alone.
//
// Returns a new bitmap owned by the caller, or none when the arguments make
// no strip (no pixels, a frame count that does not divide the height, a
// ratio that is not positive, reaches beyond 16 either way or has a term
// above 64).
PIX_MemBitmap* PIX_ResampleFrames(const PIX_IBitmap& source, int32_t frames, int32_t num, int32_t den);
