#pragma once

#include "ParameterSettings.h"

#include <string>
#include <vector>

// The part of argv that the tools here read alike: "--name VALUE" and
// "--name=VALUE", "--" ending the options, "-h"/"--help", "--set NAME=VALUE",
// and the wording of every error about an option. A tool names its own
// options and takes their values. Parsing never exits or throws: a step
// answers false and error() says why.
class OptionParser
{
public:
    virtual ~OptionParser() = default;

    const std::string& error() const { return error_; }

protected:
    enum class Kind
    {
        Unknown,
        Flag,   // takes no value
        Value,  // takes one, never empty
    };

    static std::vector<std::string> arguments(int argc, const char* const* argv);  // without the program name

    // Walks the options, leaving the file arguments in `positionals`; a help
    // option sets `help`.
    bool scan(const std::vector<std::string>& args, std::vector<std::string>& positionals, bool& help);

    virtual Kind kind(const std::string& name) const = 0;
    virtual void takeFlag(const std::string& name) = 0;
    virtual bool takeValue(const std::string& name, const std::string& value) = 0;

    bool fail(const std::string& message);
    // One "--set" value, appended to `sets`.
    bool addSetting(const std::string& text, std::vector<ParameterSettings::Setting>& sets);
    bool tooManyFiles(size_t count, const std::string& expected);

private:
    std::string error_;
};
