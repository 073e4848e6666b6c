#include "ToolRun.h"

#include "posix/ChildProcess.h"

std::string ToolRun::executable()
{
    return TIDEPULL_RENDER_EXE;
}

std::string ToolRun::bundle()
{
    return TIDEPULL_TEST_BUNDLE;
}

ToolRun::Result ToolRun::run(const std::vector<std::string>& args)
{
    return runProgram(executable(), args);
}

ToolRun::Result ToolRun::runProgram(const std::string& program, const std::vector<std::string>& args)
{
    // A render of a few seconds of audio takes well under a second on an
    // idle machine.
    const ChildProcess::Result child = ChildProcess::Run(program, args, std::chrono::seconds(120));
    Result result;
    result.exitCode = child.ExitCode();
    result.out = child.out;
    result.err = child.err;
    return result;
}
