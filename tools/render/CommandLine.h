#pragma once

#include "OptionParser.h"

#include <string>
#include <utility>
#include <vector>

// The options of one tidepull-render run, parsed from argv. Parsing never
// exits or throws: parse() answers false and error() says why.
class CommandLine : public OptionParser {
public:
    // --ramp NAME=FROM:TO, the values as the command line gives them.
    struct Ramp {
        std::string name;
        std::string from;
        std::string to;
    };

    struct Options {
        std::string pluginPath;   // empty: the default bundle
        std::vector<std::pair<std::string, std::string>> sets;   // NAME, VALUE in command-line order
        std::vector<Ramp> ramps;
        std::string sidechainPath;
        int blockSize = 512;
        int precision = 32;
        std::string stateInPath;
        std::string stateOutPath;
        std::string presetPath;
        std::string savePresetPath;
        bool hostBypass = false;
        bool leadIn = true;   // --no-lead-in turns it off
        bool listParams = false;
        bool help = false;
        std::string inputPath;   // empty: the built-in demo signal
        std::string outputPath;
    };

    static constexpr int kMaxBlockSize = 65536;

    const Options& options() const { return options_; }

    static std::string usage(const std::string& program);

private:
    void reset() override { options_ = Options(); }
    Kind kind(const std::string& name) const override;
    void takeFlag(const std::string& name) override;
    bool takeValue(const std::string& name, const std::string& value) override;
    bool finish(const std::vector<std::string>& positionals) override;
    bool parseBlockSize(const std::string& text);
    bool parsePrecision(const std::string& text);
    bool addRamp(const std::string& text);

    Options options_;
};
