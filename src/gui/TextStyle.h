#pragma once

#include "gui/ArgbColor.h"

#include <cstdint>

class PIX_CachedFont;

enum TextStyleKind : int32_t { kTextNormal = 0, kTextBold = 1, kTextItalic = 2 };
enum TextAlignment : int32_t { kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };
enum TextQuality : int32_t {
    kQualityDefault = 0,
    kQualityNonAntialiased = 1,
    kQualityAntialiased = 2,
    kQualityClearType = 3,
};

// How a control's text is drawn and how its value entry box looks.
struct TextStyle {
    static constexpr int kFaceSize = 32;

    char face[kFaceSize] = "Verdana";
    int32_t size = 12;
    ArgbColor color{255, 0, 0, 0};
    ArgbColor entryBackground{255, 255, 255, 255};
    ArgbColor entryForeground{255, 0, 0, 0};
    int32_t style = kTextNormal;
    int32_t alignment = kAlignCenter;
    int32_t orientation = 0;   // degrees
    int32_t quality = kQualityDefault;
    PIX_CachedFont* font = nullptr;   // owned by the font cache, found on first use
};
