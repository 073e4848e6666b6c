#pragma once

#include <string>
#include <vector>

// Runs the built tidepull-render (or another tool) with arguments and collects
// what it says.
class ToolRun {
public:
    struct Result {
        int exitCode = -1;
        std::string out;
        std::string err;
    };

    static Result run(const std::vector<std::string>& args);
    // Any program of the build, the same way.
    static Result runProgram(const std::string& program, const std::vector<std::string>& args);
    static std::string executable();
    static std::string bundle();
};
