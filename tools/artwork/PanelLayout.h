#pragma once

#include "EditorStrips.h"

// Where every control sits and how its pointer turns. The background's scales
// and the strips' pointers both come from here so they cannot drift apart.
class PanelLayout {
public:
    enum Strip { kBG, kIN, kOUT, kAC, kDC, kREL, kHPF, kMIX, kMETER, kBY, kSC, kStripCount };

    static const StripPlacement& Placement(Strip s);
    static double CenterX(Strip s);
    static double CenterY(Strip s);

    // Angles in degrees, clockwise from twelve o'clock.
    static double KnobAngle(double normalised);
    static double ReleaseAngle(int position);   // position 0..5
    static double MeterAngle(double normalised);

    // Needle travel is linear in 1 - linear gain.
    static double MeterValueForDb(double reductionDb);

    static constexpr int kPanelWidth = kEditorStrips[kBG].width;
    static constexpr int kPanelHeight = kEditorStrips[kBG].frameHeight;
    static constexpr int kReleasePositions = 6;
    static constexpr double kKnobSweep = 270.0;
    static constexpr double kMeterSweep = 96.0;
};
