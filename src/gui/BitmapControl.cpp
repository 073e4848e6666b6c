#include "gui/BitmapControl.h"

#include "gui/Editor.h"

BitmapControl::BitmapControl(PlugCore* plug, int32_t x, int32_t y, int32_t paramIdx, const BitmapStrip& strip_,
                             int32_t blendMethod)
    : Control(plug, Bounds(x, y, x + strip_.FrameWidth(), y + strip_.FrameHeight()), paramIdx,
              BlendStyle(blendMethod, 1.0f)),
      strip(strip_)
{
}

bool BitmapControl::Draw(Editor& editor)
{
    int32_t srcX = 0;
    int32_t srcY = 0;
    strip.FrameOrigin(CurrentFrame(), &srcX, &srcY);
    return editor.BlitStrip(strip, Rect(), srcX, srcY, &Blend());
}
