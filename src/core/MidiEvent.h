#pragma once

#include <cstdint>

// A short MIDI message at a sample offset within the block.
struct MidiEvent {
    int32_t offset = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};
