#pragma once

#include "pluginterfaces/vst/vsttypes.h"

#include <cstddef>

// Texts for the host are widened byte by byte and cut at 127 units plus the
// terminator; texts from the host are narrowed by keeping the low byte.
void WidenToString128(const char* text, Steinberg::Vst::String128 out);
void NarrowFromString128(const Steinberg::Vst::TChar* text, char* out, size_t outSize);
