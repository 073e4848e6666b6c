#include "ToolRun.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
}

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
    Result result;
    char outName[] = "/tmp/tidepull-render-out-XXXXXX";
    char errName[] = "/tmp/tidepull-render-err-XXXXXX";
    const int outFd = ::mkstemp(outName);
    const int errFd = ::mkstemp(errName);
    if (outFd < 0 || errFd < 0)
        return result;

    std::vector<std::string> all;
    all.push_back(program);
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0)
    {
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    ::close(outFd);
    ::close(errFd);
    result.out = slurp(outName);
    result.err = slurp(errName);
    ::unlink(outName);
    ::unlink(errName);
    return result;
}
