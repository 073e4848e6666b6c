#pragma once

#include <string>
#include <vector>

// Runs the built tidepull-render with arguments and collects what it says.
class ToolRun
{
public:
    struct Result
    {
        int exitCode = -1;
        std::string out;
        std::string err;
    };

    static Result run(const std::vector<std::string>& args);
    static std::string executable();
    static std::string bundle();
};
