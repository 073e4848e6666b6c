#include "SnapshotCommandLine.h"

#include "DistinctFiles.h"

#include <cerrno>
#include <cstdlib>

namespace {
constexpr long kMinPlotSide = 160;
constexpr long kMaxPlotSide = 8192;

bool parsePixels(const std::string& text, int& pixels)
{
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < kMinPlotSide || value > kMaxPlotSide)
        return false;
    pixels = static_cast<int>(value);
    return true;
}
}   // namespace

SnapshotCommandLine::Kind SnapshotCommandLine::kind(const std::string& name) const
{
    if (name == "--demo")
        return Kind::Flag;
    if (name == "--set" || name == "--audio" || name == "--curve" || name == "--gr-plot" || name == "--width" ||
        name == "--height" || name == "--scale")
        return Kind::Value;
    return Kind::Unknown;
}

void SnapshotCommandLine::takeFlag(const std::string& name)
{
    (name == "--demo" ? options_.demo : options_.help) = true;
}

bool SnapshotCommandLine::takeValue(const std::string& name, const std::string& value)
{
    if (name == "--audio")
        options_.audioPath = value;
    else if (name == "--curve")
        options_.curvePath = value;
    else if (name == "--gr-plot")
        options_.grPlotPath = value;
    else if (name == "--scale") {
        char* end = nullptr;
        const double scale = std::strtod(value.c_str(), &end);
        if (end == value.c_str() || *end != '\0' || !(scale >= 1.0 && scale <= 2.0))
            return fail("--scale needs a display scale from 1 to 2 (e.g. 1.5), not '" + value + "'");
        options_.scale = scale;
        options_.scaleGiven = true;
    } else if (name == "--width" || name == "--height") {
        if (!parsePixels(value, name == "--width" ? options_.width : options_.height))
            return fail(name + " needs a whole number of pixels from " + std::to_string(kMinPlotSide) + " to " +
                        std::to_string(kMaxPlotSide) + ", not '" + value + "'");
    } else {
        return addSetting(value, options_.sets);
    }
    return true;
}

bool SnapshotCommandLine::finish(const std::vector<std::string>& positionals)
{
    const bool plots = !options_.curvePath.empty() || !options_.grPlotPath.empty();
    if (options_.demo && !options_.audioPath.empty())
        return fail("--audio and --demo both give the audio; use one of them");
    if (positionals.empty() && !plots)
        return fail("no OUTPUT.png given (see --help)");
    if (positionals.size() > 1)
        return tooManyFiles(positionals.size(), "OUTPUT.png");
    if (!positionals.empty())
        options_.outputPath = positionals[0];
    if (!options_.grPlotPath.empty() && !options_.demo && options_.audioPath.empty())
        return fail("--gr-plot needs audio to plot: give --audio FILE or --demo");
    if (options_.scaleGiven && positionals.empty())
        return fail("--scale sizes the editor image; give OUTPUT.png");
    if ((options_.width != 0 || options_.height != 0) && !plots)
        return fail("--width and --height size the plots; give --curve or --gr-plot");

    DistinctFiles files("images");
    files.addInput("--audio", options_.audioPath);
    files.addOutput("the editor image", options_.outputPath);
    files.addOutput("--curve", options_.curvePath);
    files.addOutput("--gr-plot", options_.grPlotPath);
    std::string clash;
    return files.check(clash) || fail(clash);
}

std::string SnapshotCommandLine::usage(const std::string& program)
{
    return "Usage: " + program +
        " [--set NAME=VALUE]... [--audio FILE | --demo]\n"
        "       [--curve CURVE.png] [--gr-plot PLOT.png] [--width N] [--height N]\n"
        "       [--scale S] [OUTPUT.png]\n"
        "\n"
        "Draws the Tidepull editor, without a window, into a PNG image; and, when asked,\n"
        "the static transfer curve and a plot of levels and gain reduction over time.\n"
        "\n"
        "  --set NAME=VALUE   set a parameter first, VALUE in the units the host shows\n"
        "                     (e.g. --set \"AC Threshold=20\"), as tidepull-render takes it;\n"
        "                     may be repeated\n"
        "  --audio FILE       process a mono or stereo audio file (any format libsndfile\n"
        "                     reads) first, so that the meter shows its gain reduction\n"
        "  --demo             the same with the built-in 48 kHz demo signal\n"
        "  --curve FILE.png   draw the static curve of the gain computer for these settings:\n"
        "                     output level against input level at the detector (the sum\n"
        "                     of the main inputs, after the sidechain filter), in dB, with\n"
        "                     the threshold and knee marked; 640 x 480 pixels\n"
        "  --gr-plot FILE.png plot, in 10 ms windows over the audio of --audio or --demo,\n"
        "                     the input and output level (RMS, dBFS) and the gain\n"
        "                     reduction (dB); 1000 x 400 pixels\n"
        "  --width N, --height N\n"
        "                     the size of the plots in pixels, 160 to 8192\n"
        "  --scale S          draw the editor at display scale S, 1 to 2: 1, 1.25, 1.5,\n"
        "                     1.75 or 2 (values between go to the nearest), as a host\n"
        "                     at that scale shows it (2: 2002 x 540 pixels)\n"
        "  --help             print this text\n"
        "  OUTPUT.png         the editor image, 1001 x 270 pixels at scale 1; needed\n"
        "                     unless a plot is asked for\n"
        "\n"
        "Each plot, and the editor with --audio or --demo, runs a Tidepull of its own\n"
        "on one second of silence before the audio, as a DAW does before playback. No\n"
        "image is left behind when its part of the run fails.\n";
}
