#pragma once

#include <cstdint>

class PIX_IBitmap;

// A new bitmap decoded from the images built into the library, owned by the
// caller, or none when the name is not a ".png" one or the image is missing
// or does not decode. Where the module carries its images as resources of
// its own (Windows), the window reads them and there are none built in.
PIX_IBitmap* LoadBuiltInImage(int32_t id, const char* fileName);
