#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PIX_IBitmap;

// Encodes a bitmap as an 8-bit RGBA PNG in memory. Fixed settings and no
// time chunk: the same pixels always give the same bytes.
class PngEncoder {
public:
    static bool encode(const PIX_IBitmap& bitmap, std::vector<uint8_t>& png, std::string& error);
};
