#pragma once

#include "OptionParser.h"
#include "ParameterSettings.h"

#include <string>
#include <vector>

// The options of one tidepull-snapshot run, parsed from argv. Parsing never
// exits or throws: parse() answers false and error() says why.
class SnapshotCommandLine : public OptionParser {
public:
    struct Options {
        std::vector<ParameterSettings::Setting> sets;   // in command-line order
        std::string audioPath;   // empty: no audio
        bool demo = false;   // the built-in demo signal
        bool help = false;
        std::string outputPath;   // the editor; empty: no editor image
        std::string curvePath;   // the transfer curve; empty: none
        std::string grPlotPath;   // levels and gain reduction; empty: none
        double scale = 1.0;   // of the editor image, 1 to 2
        bool scaleGiven = false;
        int width = 0;   // of the plots; 0: each plot's own size
        int height = 0;
    };

    const Options& options() const { return options_; }

    static std::string usage(const std::string& program);

private:
    void reset() override { options_ = Options(); }
    Kind kind(const std::string& name) const override;
    void takeFlag(const std::string& name) override;
    bool takeValue(const std::string& name, const std::string& value) override;
    bool finish(const std::vector<std::string>& positionals) override;

    Options options_;
};
