#include "ToolRun.h"

#include "TestDeadline.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
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
    // A render of a few seconds of audio takes well under a second on an
    // idle machine; a hung child is ended rather than hanging the suite.
    int status = 0;
    bool ended = false;
    bool hung = false;
    if (pid > 0)
    {
        const auto base = std::chrono::seconds(120);
        ended = TestDeadline::Until(
            [&]() { return ::waitpid(pid, &status, WNOHANG) == pid; },
            []() { std::this_thread::sleep_for(std::chrono::milliseconds(5)); }, base);
        if (!ended)
        {
            hung = true;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
    }
    if (ended && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    ::close(outFd);
    ::close(errFd);
    result.out = slurp(outName);
    result.err = slurp(errName);
    if (hung)
        result.err += "\n" + program + " did not finish within " + TestDeadline::LimitText(std::chrono::seconds(120)) +
                      " and was killed\n";
    ::unlink(outName);
    ::unlink(errName);
    return result;
}
