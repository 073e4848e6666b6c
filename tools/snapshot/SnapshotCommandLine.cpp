#include "SnapshotCommandLine.h"

#include <cerrno>
#include <cstdlib>

namespace
{
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
}

bool SnapshotCommandLine::parse(int argc, const char* const* argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return parse(args);
}

bool SnapshotCommandLine::parse(const std::vector<std::string>& args)
{
    options_ = Options();
    error_.clear();

    std::vector<std::string> positionals;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-')
        {
            positionals.push_back(arg);
            continue;
        }
        if (arg == "--")
        {
            optionsEnded = true;
            continue;
        }

        // Both "--set X=1" and "--set=X=1".
        std::string name = arg;
        std::string value;
        bool inlineValue = false;
        const size_t eq = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos)
        {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            inlineValue = true;
        }

        if (name == "--help" || name == "-h" || name == "--demo")
        {
            if (inlineValue)
                return fail("option " + name + " takes no value");
            (name == "--demo" ? options_.demo : options_.help) = true;
            continue;
        }
        if (name != "--set" && name != "--audio" && name != "--curve" && name != "--gr-plot" && name != "--width" &&
            name != "--height" && name != "--scale")
            return fail("unknown option '" + name + "' (see --help)");
        if (!inlineValue)
        {
            if (i + 1 >= args.size())
                return fail("option " + name + " needs a value");
            value = args[++i];
        }
        if (value.empty())
            return fail("option " + name + " needs a non-empty value");
        if (!takeValue(name, value))
            return false;
    }

    if (options_.help)
        return true;
    return finish(positionals);
}

bool SnapshotCommandLine::takeValue(const std::string& name, const std::string& value)
{
    if (name == "--audio")
        options_.audioPath = value;
    else if (name == "--curve")
        options_.curvePath = value;
    else if (name == "--gr-plot")
        options_.grPlotPath = value;
    else if (name == "--scale")
    {
        char* end = nullptr;
        const double scale = std::strtod(value.c_str(), &end);
        if (end == value.c_str() || *end != '\0' || !(scale >= 1.0 && scale <= 2.0))
            return fail("--scale needs a display scale from 1 to 2 (e.g. 1.5), not '" + value + "'");
        options_.scale = scale;
        options_.scaleGiven = true;
    }
    else if (name == "--width" || name == "--height")
    {
        if (!parsePixels(value, name == "--width" ? options_.width : options_.height))
            return fail(name + " needs a whole number of pixels from " + std::to_string(kMinPlotSide) + " to " +
                        std::to_string(kMaxPlotSide) + ", not '" + value + "'");
    }
    else
    {
        ParameterSettings::Setting setting;
        if (!ParameterSettings::split(value, setting))
            return fail("--set needs NAME=VALUE, not '" + value + "'");
        options_.sets.push_back(setting);
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
        return fail("too many file arguments (" + std::to_string(positionals.size()) + "); expected OUTPUT.png");
    if (!positionals.empty())
        options_.outputPath = positionals[0];
    if (!options_.grPlotPath.empty() && !options_.demo && options_.audioPath.empty())
        return fail("--gr-plot needs audio to plot: give --audio FILE or --demo");
    if (options_.scaleGiven && positionals.empty())
        return fail("--scale sizes the editor image; give OUTPUT.png");
    if ((options_.width != 0 || options_.height != 0) && !plots)
        return fail("--width and --height size the plots; give --curve or --gr-plot");

    const std::string* paths[] = {&options_.outputPath, &options_.curvePath, &options_.grPlotPath};
    for (size_t a = 0; a < 3; ++a)
        for (size_t b = a + 1; b < 3; ++b)
            if (!paths[a]->empty() && *paths[a] == *paths[b])
                return fail("'" + *paths[a] + "' is given for two images; each needs a file of its own");
    return true;
}

bool SnapshotCommandLine::fail(const std::string& message)
{
    error_ = message;
    return false;
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
