#pragma once

#include "TestDeadline.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// A child process of a test: a program of the build run with arguments and
// what it printed, or a forked child waited for. A child still running at the
// deadline is killed rather than hanging the suite. Header only, like the
// deadline it waits with.
class ChildProcess {
public:
    struct Result {
        bool started = false;
        bool hung = false;   // killed at the deadline
        int status = 0;   // as waitpid gives it
        std::string out;
        std::string err;

        // The exit code; -1 when the child did not start, hung or was ended by a signal.
        int ExitCode() const { return Ended() && WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
        bool Ended() const { return started && !hung; }
        bool Signalled() const { return Ended() && WIFSIGNALED(status); }
    };

    // Waits for `pid`; whether it ended by itself before the deadline. A hung
    // child is killed and reaped, so no zombie is left either way.
    static bool Wait(pid_t pid, int& status, TestDeadline::Clock::duration base = TestDeadline::kShortest)
    {
        const bool ended =
            TestDeadline::Until([&]() { return ::waitpid(pid, &status, WNOHANG) == pid; },
                                []() { std::this_thread::sleep_for(std::chrono::milliseconds(5)); }, base);
        if (!ended) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
        return ended;
    }

    // Runs `program` with `args` (argv[0] is the program), its standard output
    // and error caught in files, as a shell would redirect them.
    static Result Run(const std::string& program, const std::vector<std::string>& args,
                      TestDeadline::Clock::duration base = TestDeadline::kShortest)
    {
        Result result;
        char outName[] = "/tmp/tidepull-child-out-XXXXXX";
        char errName[] = "/tmp/tidepull-child-err-XXXXXX";
        const int outFd = ::mkstemp(outName);
        const int errFd = ::mkstemp(errName);
        if (outFd >= 0 && errFd >= 0) {
            std::vector<std::string> all{program};
            all.insert(all.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (std::string& a : all)
                argv.push_back(&a[0]);
            argv.push_back(nullptr);

            const pid_t pid = ::fork();
            if (pid == 0) {
                ::dup2(outFd, STDOUT_FILENO);
                ::dup2(errFd, STDERR_FILENO);
                ::execv(argv[0], argv.data());
                ::_exit(127);
            }
            if (pid > 0) {
                result.started = true;
                result.hung = !Wait(pid, result.status, base);
            }
            result.out = ReadFile(outName);
            result.err = ReadFile(errName);
            if (result.hung)
                result.err +=
                    "\n" + program + " did not finish within " + TestDeadline::LimitText(base) + " and was killed\n";
        }
        for (const int fd : {outFd, errFd})
            if (fd >= 0)
                ::close(fd);
        for (const char* name : {outName, errName})
            ::unlink(name);
        return result;
    }

    // A file's whole contents; empty when it cannot be read.
    static std::string ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
};
