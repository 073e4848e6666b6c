#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// An embedded PNG decoded straight through libpng, for checking the strips
// before the editor's own bitmap code reads them.
class StripImage {
public:
    // False for anything but an 8-bit RGBA PNG that decodes cleanly.
    bool Decode(const unsigned char* data, size_t size);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Channel order red, green, blue, alpha; y counts from the strip's top.
    const uint8_t* Pixel(int x, int y) const { return &rgba_[(static_cast<size_t>(y) * width_ + x) * 4]; }
    double Luminance(int x, int y) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> rgba_;
};
