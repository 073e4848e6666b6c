#include "PanelLayout.h"

#include <cmath>

namespace {

const StripPlacement kPlacements[PanelLayout::kStripCount] = {
    {"BG.png", 106, 0, 0, 1001, 270, 1},
    {"IN.png", 101, 202, 207, 24, 25, 61},
    {"OUT.png", 102, 640, 207, 25, 25, 61},
    {"AC.png", 103, 535, 197, 50, 50, 121},
    {"DC.png", 104, 424, 197, 52, 50, 121},
    {"REL.png", 105, 299, 190, 65, 63, 6},
    {"HPF.png", 110, 853, 207, 25, 25, 61},
    {"MIX.png", 111, 639, 96, 27, 27, 61},
    {"METER.png", 107, 702, 33, 200, 117, 121},
    {"BY.png", 108, 781, 197, 38, 38, 2},
    {"SC.png", 109, 721, 207, 25, 25, 2},
};

const double kReleaseAngles[PanelLayout::kReleasePositions] = {-100.0, -60.0, -20.0, 20.0, 60.0, 100.0};

} // namespace

const StripPlacement& PanelLayout::Placement(Strip s) { return kPlacements[s]; }

double PanelLayout::CenterX(Strip s) { return kPlacements[s].x + kPlacements[s].width * 0.5; }

double PanelLayout::CenterY(Strip s) { return kPlacements[s].y + kPlacements[s].frameHeight * 0.5; }

double PanelLayout::KnobAngle(double normalised) { return -kKnobSweep * 0.5 + kKnobSweep * normalised; }

double PanelLayout::ReleaseAngle(int position) { return kReleaseAngles[position]; }

double PanelLayout::MeterAngle(double normalised) { return -kMeterSweep * 0.5 + kMeterSweep * normalised; }

double PanelLayout::MeterValueForDb(double reductionDb) { return 1.0 - std::pow(10.0, -reductionDb / 20.0); }
