#pragma once

#include <cstdint>
#include <vector>

// Test images encoded with libpng into memory. Rows hold raw PNG samples:
// packed for depths below 8, big-endian for 16-bit.
struct PngImage {
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    int colourType = 0;   // PNG_COLOR_TYPE_*
    bool interlaced = false;
    std::vector<uint8_t> palette;   // RGB triples
    std::vector<uint8_t> paletteAlpha;   // tRNS for palette images
    bool hasKey = false;   // tRNS colour key for grey and RGB images
    uint16_t keyGrey = 0, keyRed = 0, keyGreen = 0, keyBlue = 0;
    std::vector<std::vector<uint8_t>> rows;
};

// Empty on failure.
std::vector<uint8_t> EncodePng(const PngImage& image);
