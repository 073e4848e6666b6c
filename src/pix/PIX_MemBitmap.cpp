#include "pix/PIX_MemBitmap.h"

#include <cstdlib>
#include <limits>

namespace {

constexpr int64_t kSlack = 63;
constexpr int64_t kLargest = std::numeric_limits<int32_t>::max() - kSlack;

}   // namespace

PIX_MemBitmap::~PIX_MemBitmap()
{
    std::free(buffer);
}

PIX_Pixel32* PIX_MemBitmap::Pixels() const
{
    if (!buffer)
        return nullptr;
    const uintptr_t aligned = (reinterpret_cast<uintptr_t>(buffer) + kSlack) & ~static_cast<uintptr_t>(kSlack);
    return reinterpret_cast<PIX_Pixel32*>(aligned);
}

bool PIX_MemBitmap::Resize(int32_t w, int32_t h)
{
    if (w == width && h == height)
        return false;
    width = w;
    height = h;
    const int64_t needed = static_cast<int64_t>(h) * Stride() * 4;

    if (needed > 0 && w > 0 && h > 0 && needed <= kLargest) {
        if (!buffer) {
            buffer = std::malloc(static_cast<size_t>(needed + kSlack));
            capacity = buffer ? static_cast<int32_t>(needed) : 0;
        } else if (capacity < needed) {
            int64_t grown = needed / 4 * 5;
            if (grown > kLargest)
                grown = needed;
            void* moved = std::realloc(buffer, static_cast<size_t>(grown + kSlack));
            if (moved) {
                buffer = moved;
                capacity = static_cast<int32_t>(grown);
            } else {
                std::free(buffer);
                buffer = std::malloc(static_cast<size_t>(needed + kSlack));
                capacity = buffer ? static_cast<int32_t>(needed) : 0;
            }
        }
    } else {
        // Also taken when the size cannot be addressed: the bitmap ends up empty,
        // like after a failed allocation.
        std::free(buffer);
        buffer = nullptr;
        capacity = 0;
    }

    if (!buffer) {
        width = 0;
        height = 0;
    }
    return true;
}
