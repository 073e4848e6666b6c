#include "StripImage.h"

#include <png.h>

#include <cstring>

bool StripImage::Decode(const unsigned char* data, size_t size)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size))
        return false;
    // The strips are stored as plain 8-bit RGBA: no palette, no 16-bit.
    if (image.format != PNG_FORMAT_RGBA) {
        png_image_free(&image);
        return false;
    }
    rgba_.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgba_.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    width_ = static_cast<int>(image.width);
    height_ = static_cast<int>(image.height);
    return true;
}

double StripImage::Luminance(int x, int y) const
{
    const uint8_t* p = Pixel(x, y);
    return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
}
