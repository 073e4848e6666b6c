#pragma once

#include "core/StateChunk.h"

// A captured parameter state under a name.
struct PresetSlot {
    static constexpr int kNameSize = 256;

    PresetSlot();

    bool initialised = false;
    char name[kNameSize];
    StateChunk chunk;
};
