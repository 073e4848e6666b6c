#include "OptionParser.h"

bool OptionParser::parse(int argc, const char* const* argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return parse(args);
}

bool OptionParser::parse(const std::vector<std::string>& args)
{
    error_.clear();
    reset();
    std::vector<std::string> positionals;
    bool help = false;
    if (!scan(args, positionals, help))
        return false;
    if (help) {
        takeFlag("--help");
        return true;
    }
    return finish(positionals);
}

bool OptionParser::scan(const std::vector<std::string>& args, std::vector<std::string>& positionals, bool& help)
{
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // A lone "-" is a file name (standard input or output to some tools).
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }

        // Both "--block 256" and "--block=256"; a short option has no inline form.
        std::string name = arg;
        std::string value;
        bool inlineValue = false;
        const size_t eq = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            inlineValue = true;
        }

        const bool isHelp = name == "--help" || name == "-h";
        const Kind k = isHelp ? Kind::Flag : kind(name);
        if (k == Kind::Unknown)
            return fail("unknown option '" + name + "' (see --help)");
        if (k == Kind::Flag) {
            if (inlineValue)
                return fail("option " + name + " takes no value");
            if (isHelp)
                help = true;
            else
                takeFlag(name);
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size())
                return fail("option " + name + " needs a value");
            value = args[++i];
        }
        if (value.empty())
            return fail("option " + name + " needs a non-empty value");
        if (!takeValue(name, value))
            return false;
    }
    return true;
}

bool OptionParser::fail(const std::string& message)
{
    error_ = message;
    return false;
}

bool OptionParser::addSetting(const std::string& text, std::vector<ParameterSettings::Setting>& sets)
{
    ParameterSettings::Setting setting;
    if (!ParameterSettings::split(text, setting))
        return fail("--set needs NAME=VALUE, not '" + text + "'");
    sets.push_back(setting);
    return true;
}

bool OptionParser::tooManyFiles(size_t count, const std::string& expected)
{
    return fail("too many file arguments (" + std::to_string(count) + "); expected " + expected);
}
