#pragma once

#include <string>
#include <utility>
#include <vector>

// The options of one tidepull-render run, parsed from argv. Parsing never
// exits or throws: parse() answers false and error() says why.
class CommandLine
{
public:
    struct Options
    {
        std::string pluginPath;                                 // empty: the default bundle
        std::vector<std::pair<std::string, std::string>> sets;  // NAME, VALUE in command-line order
        std::string sidechainPath;
        int blockSize = 512;
        int precision = 32;
        std::string stateInPath;
        std::string stateOutPath;
        std::string presetPath;
        std::string savePresetPath;
        bool hostBypass = false;
        bool leadIn = true;                                     // --no-lead-in turns it off
        bool listParams = false;
        bool help = false;
        std::string inputPath;                                  // empty: the built-in demo signal
        std::string outputPath;
    };

    static constexpr int kMaxBlockSize = 65536;

    bool parse(int argc, const char* const* argv);
    bool parse(const std::vector<std::string>& args);  // without the program name

    const Options& options() const { return options_; }
    const std::string& error() const { return error_; }

    static std::string usage(const std::string& program);

private:
    bool fail(const std::string& message);
    bool takeValue(const std::string& option, const std::string* inlineValue,
                   const std::vector<std::string>& args, size_t& i, std::string& value);
    bool parseBlockSize(const std::string& text);
    bool parsePrecision(const std::string& text);
    bool parseSet(const std::string& text);

    Options options_;
    std::string error_;
};
