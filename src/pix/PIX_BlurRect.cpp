#include "pix/PIX_BlurRect.h"

#include <cstring>
#include <vector>

namespace {

// Whole-word fractions; each truncates on its own.
inline PIX_Pixel32 Half(PIX_Pixel32 p)
{
    return (p >> 1) & 0x7F7F7F7Fu;
}

inline PIX_Pixel32 Quarter(PIX_Pixel32 p)
{
    return (p >> 2) & 0x3F3F3F3Fu;
}

inline PIX_Pixel32 Eighth(PIX_Pixel32 p)
{
    return (p >> 3) & 0x1F1F1F1Fu;
}

// The horizontal and vertical shares of a pixel that has neighbours on one
// side only are a quarter of the one present.
inline PIX_Pixel32 Pair(const PIX_Pixel32* before, const PIX_Pixel32* after)
{
    if (!before)
        return Quarter(*after);
    if (!after)
        return Quarter(*before);
    return Eighth(*before) + Eighth(*after);
}

void BlurRows(PIX_IBitmap& bitmap, PIX_Pixel32* pixels, int32_t width, int32_t height, PIX_Pixel32* previous,
              PIX_Pixel32* current)
{
    const size_t rowBytes = static_cast<size_t>(width) * sizeof(PIX_Pixel32);
    for (int32_t y = 0; y < height; ++y) {
        PIX_Pixel32* row = PIX_RowPointer(bitmap, pixels, y);
        const PIX_Pixel32* below = y + 1 < height ? PIX_RowPointer(bitmap, pixels, y + 1) : nullptr;
        std::memcpy(current, row, rowBytes);
        for (int32_t x = 0; x < width; ++x) {
            const PIX_Pixel32 vertical = Pair(y > 0 ? previous + x : nullptr, below ? below + x : nullptr);
            const PIX_Pixel32 horizontal =
                Pair(x > 0 ? current + x - 1 : nullptr, x + 1 < width ? current + x + 1 : nullptr);
            row[x] = Half(current[x]) + vertical + horizontal;
        }
        PIX_Pixel32* swap = previous;
        previous = current;
        current = swap;
    }
}

}   // namespace

void PIX_BlurRect(PIX_IBitmap* bitmap, int32_t width, int32_t height)
{
    if (!bitmap || width < 2 || height < 2)
        return;
    if (width > bitmap->Width())
        width = bitmap->Width();
    if (height > bitmap->Height())
        height = bitmap->Height();
    PIX_Pixel32* pixels = bitmap->Pixels();
    if (!pixels || width < 2 || height < 2)
        return;

    // The unblurred previous and current rows.
    constexpr int32_t kStackColumns = 1024;
    if (width <= kStackColumns) {
        PIX_Pixel32 rows[2 * kStackColumns];
        BlurRows(*bitmap, pixels, width, height, rows, rows + kStackColumns);
    } else {
        std::vector<PIX_Pixel32> rows(2 * static_cast<size_t>(width));
        BlurRows(*bitmap, pixels, width, height, rows.data(), rows.data() + width);
    }
}
