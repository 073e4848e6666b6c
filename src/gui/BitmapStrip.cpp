#include "gui/BitmapStrip.h"

#include <cmath>

int32_t BitmapStrip::FrameWidth() const
{
    return horizontal && frames > 1 ? width / frames : width;
}

int32_t BitmapStrip::FrameHeight() const
{
    return !horizontal && frames > 1 ? height / frames : height;
}

int32_t BitmapStrip::FrameFor(double value) const
{
    if (frames <= 1)
        return 1;
    const double pos = (frames - 1) * value + 0.5;
    // Written so that NaN and out-of-range values land on the end frames
    // without converting an unrepresentable double.
    if (!(pos >= 1.0))
        return 1;
    if (pos >= frames)
        return frames;
    const int32_t i = static_cast<int32_t>(pos) + 1;
    return i > frames ? frames : i;
}

void BitmapStrip::FrameOrigin(int32_t frame, int32_t* x, int32_t* y) const
{
    *x = 0;
    *y = 0;
    if (frames <= 1 || frame <= 1)
        return;
    if (horizontal)
        *x = static_cast<int32_t>(static_cast<double>(width) * (frame - 1) / frames + 0.5);
    else
        *y = static_cast<int32_t>(static_cast<double>(height) * (frame - 1) / frames + 0.5);
}
