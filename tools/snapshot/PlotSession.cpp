#include "PlotSession.h"

#include "AudioClip.h"
#include "AudioFile.h"
#include "CurvePlot.h"
#include "DemoSignal.h"
#include "GainReductionPlot.h"
#include "GainReductionTrace.h"
#include "PendingFile.h"
#include "PlugHarness.h"
#include "SnapshotSession.h"
#include "TransferCurve.h"

#include "plug/Tidepull.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {
constexpr const char* kProgramName = SnapshotSession::kProgramName;
constexpr double kCurveRate = 48000.0;
constexpr double kWindowSeconds = 0.01;
// Blocks short against a window, so each window sees several readings of the gain.
constexpr long kGainBlock = 32;

bool writeImage(PendingFile& file, const std::vector<uint8_t>& png, std::string& error)
{
    return file.writeAll(png.data(), png.size(), error) && file.commit(error);
}

// The meter value is 1 - the linear gain; 0 while the plug's "Engage" is 0.
double reductionDb(double meterValue)
{
    if (!(meterValue < 1.0))
        return std::numeric_limits<double>::infinity();
    return -20.0 * std::log10(1.0 - meterValue) + 0.0;
}

std::string dbText(double db)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", db + 0.0);
    return std::isfinite(db) ? text : "inf";
}
}   // namespace

int PlotSession::run(const SnapshotCommandLine::Options& options)
{
    int code = 0;
    std::string error;
    if (!options.curvePath.empty() && !writeCurve(options, error)) {
        std::fprintf(stderr, "%s: %s\n", kProgramName, error.c_str());
        code = 1;
    }
    error.clear();
    if (!options.grPlotPath.empty() && !writeGainReductionPlot(options, error)) {
        std::fprintf(stderr, "%s: %s\n", kProgramName, error.c_str());
        code = 1;
    }
    return code;
}

bool PlotSession::writeCurve(const SnapshotCommandLine::Options& options, std::string& error)
{
    const int width = options.width > 0 ? options.width : CurvePlot::kDefaultWidth;
    const int height = options.height > 0 ? options.height : CurvePlot::kDefaultHeight;

    PlugHarness harness(kProgramName);
    if (!harness.create(options.sets, error))
        return false;
    PendingFile image;
    if (!image.create(options.curvePath, error))
        return false;
    if (!harness.start(kCurveRate, error) || !harness.settle(error))
        return false;
    harness.stop();

    // The settled detector carries the threshold, ratio and knee the plug's
    // own mapping made of the settings.
    const TransferCurve curve(harness.plug()->Compressor());
    std::vector<uint8_t> png;
    if (!CurvePlot::draw(curve, width, height, png, error) || !writeImage(image, png, error))
        return false;

    std::printf("curve      '%s' (%d x %d)\n", options.curvePath.c_str(), width, height);
    std::printf("settings   %s\n", harness.settingsText().c_str());
    std::printf("detector   threshold %.2f dB, ratio %.2f:1, ", curve.thresholdDb() + 0.0, curve.ratio());
    if (curve.hasKnee())
        std::printf("knee %.2f to %.2f dB\n", curve.kneeLowDb(), curve.kneeHighDb());
    else
        std::printf("hard knee\n");
    return true;
}

bool PlotSession::writeGainReductionPlot(const SnapshotCommandLine::Options& options, std::string& error)
{
    const int width = options.width > 0 ? options.width : GainReductionPlot::kDefaultWidth;
    const int height = options.height > 0 ? options.height : GainReductionPlot::kDefaultHeight;

    PlugHarness harness(kProgramName);
    if (!harness.create(options.sets, error))
        return false;
    AudioClip audio;
    if (options.demo)
        audio = DemoSignal::make();
    else if (!AudioFile::read(options.audioPath, audio, error))
        return false;
    const std::string source = options.demo ? "built-in demo signal" : "'" + options.audioPath + "'";
    if (audio.frameCount() == 0) {
        error = source + " holds no audio to plot";
        return false;
    }

    PendingFile image;
    if (!image.create(options.grPlotPath, error))
        return false;
    if (!harness.start(audio.sampleRate(), error) || !harness.settle(error))
        return false;

    GainReductionTrace trace(audio.sampleRate(), audio.frameCount(), kWindowSeconds);
    const long block = std::min(kGainBlock, trace.windowFrames());
    const Tidepull* plug = harness.plug();
    long blocks = 0;
    AudioClip output;
    const bool rendered = harness.render(
        audio, output, static_cast<int>(block),
        [&]() {
        const long end = std::min((blocks + 1) * block, audio.frameCount()) - 1;
        trace.addReduction(end, reductionDb(plug->MeterValue()));
        ++blocks;
        },
        error);
    if (!rendered)
        return false;
    harness.stop();
    trace.measureLevels(audio, output);

    const std::string settingsText = harness.settingsText();
    const std::string title = "Tidepull (" + settingsText + "): " + source;
    std::vector<uint8_t> png;
    if (!GainReductionPlot::draw(trace, title, width, height, png, error) || !writeImage(image, png, error))
        return false;

    std::printf("gr-plot    '%s' (%d x %d)\n", options.grPlotPath.c_str(), width, height);
    std::printf("settings   %s\n", settingsText.c_str());
    std::printf("audio      %s, %.2f s in %zu windows of %.1f ms\n", source.c_str(), audio.seconds(),
                trace.windowCount(), trace.windowSeconds() * 1000.0);
    std::printf("reduction  up to %s dB\n", dbText(trace.maxReductionDb()).c_str());
    return true;
}
