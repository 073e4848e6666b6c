#pragma once

#include "ParameterSettings.h"

#include <string>
#include <vector>

// The part of argv that the tools here read alike: "--name VALUE" and
// "--name=VALUE", "--" ending the options, "-h"/"--help", "--set NAME=VALUE",
// and the wording of every error about an option. A tool names its own
// options, takes their values and checks the whole. Parsing never exits or
// throws: parse() answers false and error() says why.
class OptionParser {
public:
    virtual ~OptionParser() = default;

    bool parse(int argc, const char* const* argv);
    bool parse(const std::vector<std::string>& args);   // without the program name

    const std::string& error() const { return error_; }

protected:
    enum class Kind {
        Unknown,
        Flag,   // takes no value
        Value,   // takes one, never empty
    };

    // Back to the defaults, before every parse.
    virtual void reset() = 0;
    virtual Kind kind(const std::string& name) const = 0;
    // Every flag; "--help" too, for either spelling.
    virtual void takeFlag(const std::string& name) = 0;
    virtual bool takeValue(const std::string& name, const std::string& value) = 0;
    // After the options, with the file arguments; not when help was asked for.
    virtual bool finish(const std::vector<std::string>& positionals) = 0;

    bool fail(const std::string& message);
    // One "--set" value, appended to `sets`.
    bool addSetting(const std::string& text, std::vector<ParameterSettings::Setting>& sets);
    bool tooManyFiles(size_t count, const std::string& expected);

private:
    bool scan(const std::vector<std::string>& args, std::vector<std::string>& positionals, bool& help);

    std::string error_;
};
