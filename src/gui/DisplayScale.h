#pragma once

#include "gui/Bounds.h"

#include <cstdint>

// How many device pixels the editor's logical pixels take: 1.0, 1.25, 1.5,
// 1.75 or 2.0, kept as whole quarters so that every mapping is exact integer
// arithmetic on every platform.
//
// The layout, the controls and the mouse logic all work in logical pixels;
// only the drawing surface, the window and the window's events are in device
// pixels. Rectangles go to the device outward (a logical rect's device rect
// covers every pixel it touches) and come back outward too.
class DisplayScale {
public:
    static constexpr int32_t kMinQuarters = 4;
    static constexpr int32_t kMaxQuarters = 8;
    // The strips the generator draws at double density.
    static constexpr int32_t kArtworkQuarters = 8;
    static constexpr double kBaseDpi = 96.0;

    DisplayScale() = default;

    // The nearest supported scale (ties upward); below 1, above 2 and
    // non-numbers are held to the ends, none to 1.
    static DisplayScale FromFactor(double factor);
    // From a screen resolution in dots per inch; 96 is 1.0.
    static DisplayScale FromDpi(double dpi) { return FromFactor(dpi / kBaseDpi); }
    // From a resolution as a desktop's settings write it ("96", "144.0",
    // " 120 "), read the same in every locale; none, an empty text, anything
    // else than one non-negative decimal number, and 0 all give 1.0.
    static DisplayScale FromDpiText(const char* text);

    int32_t Quarters() const { return quarters; }
    double Factor() const { return quarters / 4.0; }
    bool IsOne() const { return quarters == 4; }

    // First device pixel of logical pixel x.
    int32_t ToDevice(int32_t x) const { return FloorDiv(static_cast<int64_t>(x) * quarters, 4); }
    // Device size holding `length` logical pixels.
    int32_t DeviceLength(int32_t length) const { return CeilDiv(static_cast<int64_t>(length) * quarters, 4); }
    // Outward: every device pixel the logical rect touches.
    Bounds ToDevice(const Bounds& r) const;

    // The logical pixel a device pixel lies in.
    int32_t ToLogical(int32_t x) const { return FloorDiv(static_cast<int64_t>(x) * 4, quarters); }
    // Outward: every logical pixel the device rect touches.
    Bounds ToLogical(const Bounds& r) const;

    // Font height in device pixels for a logical size, rounded.
    int32_t FontSize(int32_t size) const { return FloorDiv(static_cast<int64_t>(size) * quarters + 2, 4); }

    // Where a strip at this scale comes from.
    enum class Source {
        kOneX,   // the 1x strip as it is
        kArtwork,   // the double-density strip as it is
        kResampled,   // resampled once from the double-density strip
    };
    Source StripSource() const;

    bool operator==(const DisplayScale& o) const { return quarters == o.quarters; }
    bool operator!=(const DisplayScale& o) const { return quarters != o.quarters; }

private:
    explicit DisplayScale(int32_t q) : quarters(q) {}
    static int32_t FloorDiv(int64_t a, int64_t b);
    static int32_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

    int32_t quarters = 4;
};
