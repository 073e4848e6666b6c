#pragma once

#include <cstddef>

#include "pix/PIX_IBitmap.h"
#include "pix/PIX_MemBitmap.h"

// Decodes PNG data into straight (not premultiplied) 32-bit pixels. Returns a
// new bitmap owned by the caller, or none when the data is not a readable PNG.
PIX_MemBitmap* PIX_PngFromMemory(const void* data, size_t length);

// Decodes a PNG file named in UTF-8 into `target` (resized to the image) or,
// without a target, into a new PIX_MemBitmap owned by the caller. Returns the
// bitmap written, or none; a target stays with its owner either way.
PIX_IBitmap* PIX_PngFromFile(const char* fileName, PIX_IBitmap* target);
