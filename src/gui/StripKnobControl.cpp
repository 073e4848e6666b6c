#include "gui/StripKnobControl.h"

#include "gui/Editor.h"

StripKnobControl::StripKnobControl(PlugCore* plug, int32_t x, int32_t y, int32_t paramIdx, const BitmapStrip& strip_,
                                   int32_t direction, double gearing)
    : KnobControl(plug, Bounds(x, y, x + strip_.FrameWidth(), y + strip_.FrameHeight()), paramIdx, direction, gearing,
                  BlendStyle(kBlendSourceAlpha, 1.0f)),
      strip(strip_)
{
}

bool StripKnobControl::Draw(Editor& editor)
{
    int32_t srcX = 0;
    int32_t srcY = 0;
    strip.FrameOrigin(CurrentFrame(), &srcX, &srcY);
    return editor.BlitStrip(strip, Rect(), srcX, srcY, &Blend());
}
