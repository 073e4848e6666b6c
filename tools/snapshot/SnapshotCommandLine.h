#pragma once

#include "ParameterSettings.h"

#include <string>
#include <vector>

// The options of one tidepull-snapshot run, parsed from argv. Parsing never
// exits or throws: parse() answers false and error() says why.
class SnapshotCommandLine
{
public:
    struct Options
    {
        std::vector<ParameterSettings::Setting> sets;  // in command-line order
        std::string audioPath;                         // empty: no audio
        bool demo = false;                             // the built-in demo signal
        bool help = false;
        std::string outputPath;
    };

    bool parse(int argc, const char* const* argv);
    bool parse(const std::vector<std::string>& args);  // without the program name

    const Options& options() const { return options_; }
    const std::string& error() const { return error_; }

    static std::string usage(const std::string& program);

private:
    bool fail(const std::string& message);

    Options options_;
    std::string error_;
};
