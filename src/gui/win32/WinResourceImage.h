#pragma once

#include "gui/win32/WinHeaders.h"

#include <cstdint>

class PIX_IBitmap;

// The editor's PNG strips, read from the module's resources of type "PNG".
class WinResourceImage {
public:
    // A new bitmap owned by the caller, or none when the name is not a
    // ".png" one, the resource is missing or too short, or it does not decode.
    static PIX_IBitmap* Load(HMODULE module, int32_t id, const char* fileName);
};
