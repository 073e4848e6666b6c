#include "SnapshotCommandLine.h"

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
        if (name != "--set" && name != "--audio")
            return fail("unknown option '" + name + "' (see --help)");
        if (!inlineValue)
        {
            if (i + 1 >= args.size())
                return fail("option " + name + " needs a value");
            value = args[++i];
        }
        if (value.empty())
            return fail("option " + name + " needs a non-empty value");
        if (name == "--audio")
        {
            options_.audioPath = value;
            continue;
        }
        ParameterSettings::Setting setting;
        if (!ParameterSettings::split(value, setting))
            return fail("--set needs NAME=VALUE, not '" + value + "'");
        options_.sets.push_back(setting);
    }

    if (options_.help)
        return true;
    if (options_.demo && !options_.audioPath.empty())
        return fail("--audio and --demo both give the audio; use one of them");
    if (positionals.empty())
        return fail("no OUTPUT.png given (see --help)");
    if (positionals.size() > 1)
        return fail("too many file arguments (" + std::to_string(positionals.size()) + "); expected OUTPUT.png");
    options_.outputPath = positionals[0];
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
           " [--set NAME=VALUE]... [--audio FILE | --demo] OUTPUT.png\n"
           "\n"
           "Draws the Tidepull editor, without a window, into a PNG image.\n"
           "\n"
           "  --set NAME=VALUE   set a parameter first, VALUE in the units the host shows\n"
           "                     (e.g. --set \"AC Threshold=20\"), as tidepull-render takes it;\n"
           "                     may be repeated\n"
           "  --audio FILE       process a mono or stereo audio file (any format libsndfile\n"
           "                     reads) first, so that the meter shows its gain reduction\n"
           "  --demo             the same with the built-in 48 kHz demo signal\n"
           "  --help             print this text\n"
           "  OUTPUT.png         the image written, 1001 x 270 pixels; nothing is left\n"
           "                     behind when the run fails\n";
}
