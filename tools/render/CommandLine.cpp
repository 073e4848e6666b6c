#include "CommandLine.h"

#include "DistinctFiles.h"

#include <cerrno>
#include <cstdlib>

bool CommandLine::finish(const std::vector<std::string>& positionals)
{
    if (!options_.presetPath.empty() && !options_.stateInPath.empty())
        return fail("--preset and --state-in both give the whole plug-in state; use one of them");
    if (positionals.size() > 2)
        return tooManyFiles(positionals.size(), "[INPUT] OUTPUT");
    if (positionals.size() == 2) {
        options_.inputPath = positionals[0];
        options_.outputPath = positionals[1];
    } else if (positionals.size() == 1) {
        options_.outputPath = positionals[0];
    } else if (!options_.listParams) {
        return fail("no OUTPUT file given (see --help)");
    }
    DistinctFiles files("outputs");
    files.addInput("the input", options_.inputPath);
    files.addInput("--sidechain", options_.sidechainPath);
    files.addInput("--state-in", options_.stateInPath);
    files.addInput("--preset", options_.presetPath);
    files.addOutput("the audio output", options_.outputPath);
    files.addOutput("--state-out", options_.stateOutPath);
    files.addOutput("--save-preset", options_.savePresetPath);
    std::string clash;
    return files.check(clash) || fail(clash);
}

CommandLine::Kind CommandLine::kind(const std::string& name) const
{
    if (name == "--host-bypass" || name == "--no-lead-in" || name == "--list-params")
        return Kind::Flag;
    if (name == "--plugin" || name == "--set" || name == "--ramp" || name == "--sidechain" || name == "--block" ||
        name == "--precision" || name == "--state-in" || name == "--state-out" || name == "--preset" ||
        name == "--save-preset")
        return Kind::Value;
    return Kind::Unknown;
}

void CommandLine::takeFlag(const std::string& name)
{
    if (name == "--help")
        options_.help = true;
    else if (name == "--host-bypass")
        options_.hostBypass = true;
    else if (name == "--no-lead-in")
        options_.leadIn = false;
    else
        options_.listParams = true;
}

bool CommandLine::takeValue(const std::string& name, const std::string& value)
{
    if (name == "--set")
        return addSetting(value, options_.sets);
    if (name == "--ramp")
        return addRamp(value);
    if (name == "--block")
        return parseBlockSize(value);
    if (name == "--precision")
        return parsePrecision(value);
    if (name == "--plugin")
        options_.pluginPath = value;
    else if (name == "--sidechain")
        options_.sidechainPath = value;
    else if (name == "--state-in")
        options_.stateInPath = value;
    else if (name == "--state-out")
        options_.stateOutPath = value;
    else if (name == "--preset")
        options_.presetPath = value;
    else
        options_.savePresetPath = value;
    return true;
}

bool CommandLine::parseBlockSize(const std::string& text)
{
    errno = 0;
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0' || n < 1 || n > kMaxBlockSize)
        return fail("--block must be a whole number from 1 to " + std::to_string(kMaxBlockSize) + ", not '" + text +
                    "'");
    options_.blockSize = static_cast<int>(n);
    return true;
}

bool CommandLine::addRamp(const std::string& text)
{
    ParameterSettings::Setting setting;
    const size_t colon = ParameterSettings::split(text, setting) ? setting.second.find(':') : std::string::npos;
    if (colon == std::string::npos || colon == 0 || colon + 1 == setting.second.size())
        return fail("--ramp needs NAME=FROM:TO, not '" + text + "'");
    options_.ramps.push_back(Ramp{setting.first, setting.second.substr(0, colon), setting.second.substr(colon + 1)});
    return true;
}

bool CommandLine::parsePrecision(const std::string& text)
{
    if (text == "32")
        options_.precision = 32;
    else if (text == "64")
        options_.precision = 64;
    else
        return fail("--precision must be 32 or 64, not '" + text + "'");
    return true;
}

std::string CommandLine::usage(const std::string& program)
{
    return "Usage: " + program +
        " [--plugin BUNDLE] [--set NAME=VALUE]... [--ramp NAME=FROM:TO]...\n"
        "       [--sidechain FILE] [--block N] [--precision 32|64] [--state-in FILE]\n"
        "       [--state-out FILE] [--preset FILE] [--save-preset FILE] [--host-bypass]\n"
        "       [--no-lead-in] [--list-params] [INPUT] OUTPUT\n"
        "\n"
        "Renders an audio file through a VST 3 effect plug-in, loaded as a DAW loads it.\n"
        "\n"
        "  INPUT              mono or stereo audio file (any format libsndfile reads);\n"
        "                     without it a built-in 48 kHz demo signal is rendered\n"
        "  OUTPUT             WAV file written with the input's rate and length\n"
        "                     (32-bit float, or 64-bit float with --precision 64)\n"
        "  --plugin BUNDLE    the .vst3 bundle folder; default: Tidepull.vst3 next to this\n"
        "                     program, then the build tree's, then ~/.vst3, /usr/local/lib/vst3\n"
        "                     and /usr/lib/vst3\n"
        "  --set NAME=VALUE   set a plug-in parameter at the start, VALUE in the units the\n"
        "                     host shows (e.g. --set \"AC Threshold=20\"); may be repeated;\n"
        "                     a value outside the parameter's range is refused\n"
        "  --ramp NAME=FROM:TO\n"
        "                     automate a parameter: a straight line from FROM at the\n"
        "                     input's first sample to TO at its last, a point with\n"
        "                     every block as hosts send automation (the lead-in stays\n"
        "                     at FROM); may be repeated; values as for --set\n"
        "  --sidechain FILE   feed FILE to the sidechain input and activate that bus\n"
        "                     (same rate as INPUT; shorter is padded with silence)\n"
        "  --block N          samples per process call, 1 to 65536 (default 512)\n"
        "  --precision 32|64  sample size for processing and output (default 32)\n"
        "  --state-in FILE    restore the plug-in state from FILE (as --state-out saves\n"
        "                     it) before processing\n"
        "  --state-out FILE   save the plug-in state to FILE after processing\n"
        "  --preset FILE      load a VST 3 preset (.vstpreset) before processing; --set\n"
        "                     options apply on top of it\n"
        "  --save-preset FILE save the plug-in state after processing as a .vstpreset file\n"
        "  --host-bypass      switch the host-side bypass parameter on\n"
        "  --no-lead-in       start on the input at once; by default one second of silence\n"
        "                     (at the input's rate) runs through the plug-in first, at the\n"
        "                     same settings, as in a DAW before playback, and is not written\n"
        "  --list-params      print the plug-in's parameters and exit\n"
        "  --help             print this text\n"
        "\n"
        "OUTPUT, --state-out and --save-preset each need a file of their own, and none\n"
        "may be an input. A device or FIFO is written where it is; through a symbolic\n"
        "link the file it names is replaced. A progress bar is drawn on stderr only\n"
        "when stderr is a terminal.\n";
}
