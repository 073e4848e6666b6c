#pragma once

#include "SnapshotCommandLine.h"

#include <string>

// The plots of one run of the tool: the transfer curve (--curve) and the
// levels and gain reduction over time (--gr-plot). Each builds a Tidepull of
// its own with the settings and lets it settle on silence first, so the
// smoothers start from the values the settings give, not from zero.
class PlotSession {
public:
    // The process exit code: 0 when every plot asked for was written, else 1.
    int run(const SnapshotCommandLine::Options& options);

private:
    bool writeCurve(const SnapshotCommandLine::Options& options, std::string& error);
    bool writeGainReductionPlot(const SnapshotCommandLine::Options& options, std::string& error);
};
