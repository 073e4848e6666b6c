#include "PanelLayout.h"

#include <cmath>

namespace {

// The strip table in the order of Strip.
static_assert(kEditorStripCount == PanelLayout::kStripCount, "a strip for every entry");
const StripPlacement* const kPlacements = kEditorStrips;

const double kReleaseAngles[PanelLayout::kReleasePositions] = {-100.0, -60.0, -20.0, 20.0, 60.0, 100.0};

}   // namespace

const StripPlacement& PanelLayout::Placement(Strip s)
{
    return kPlacements[s];
}

double PanelLayout::CenterX(Strip s)
{
    return kPlacements[s].x + kPlacements[s].width * 0.5;
}

double PanelLayout::CenterY(Strip s)
{
    return kPlacements[s].y + kPlacements[s].frameHeight * 0.5;
}

double PanelLayout::KnobAngle(double normalised)
{
    return -kKnobSweep * 0.5 + kKnobSweep * normalised;
}

double PanelLayout::ReleaseAngle(int position)
{
    return kReleaseAngles[position];
}

double PanelLayout::MeterAngle(double normalised)
{
    return -kMeterSweep * 0.5 + kMeterSweep * normalised;
}

double PanelLayout::MeterValueForDb(double reductionDb)
{
    return 1.0 - std::pow(10.0, -reductionDb / 20.0);
}
