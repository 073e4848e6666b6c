#pragma once

#include "TestDeadline.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

// A program a test runs beside itself (a server, a host), in a process group
// of its own so that whatever it starts goes with it. Its output goes to
// files. It is ended, group and all, when the test lets go of it: asked with
// SIGTERM first, killed if it is still there at the deadline. Header only,
// like ChildProcess.
class SpawnedProcess {
public:
    SpawnedProcess() = default;
    ~SpawnedProcess() { Stop(); }
    SpawnedProcess(const SpawnedProcess&) = delete;
    SpawnedProcess& operator=(const SpawnedProcess&) = delete;

    // The full path of `name` along PATH; empty when it is not there.
    static std::string Find(const std::string& name)
    {
        const char* path = std::getenv("PATH");
        std::string dirs = path ? path : "/usr/bin:/bin";
        size_t from = 0;
        while (from <= dirs.size()) {
            const size_t to = dirs.find(':', from);
            const std::string dir = dirs.substr(from, to == std::string::npos ? std::string::npos : to - from);
            const std::string file = (dir.empty() ? "." : dir) + "/" + name;
            if (::access(file.c_str(), X_OK) == 0)
                return file;
            if (to == std::string::npos)
                break;
            from = to + 1;
        }
        return "";
    }

    // Starts argv[0] (a full path) in `dir`, with the environment plus
    // `env` ("NAME=VALUE" each, replacing one of the same name).
    bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& dir,
               const std::string& outPath, const std::string& errPath)
    {
        Stop();
        std::vector<std::string> vars = env;
        for (char** e = environ; *e; ++e) {
            const std::string var = *e;
            const std::string name = var.substr(0, var.find('=') + 1);
            bool replaced = false;
            for (const std::string& v : env)
                replaced = replaced || v.compare(0, name.size(), name) == 0;
            if (!replaced)
                vars.push_back(var);
        }
        std::vector<char*> args;
        std::vector<char*> envp;
        std::vector<std::string> argsCopy = argv;
        for (std::string& a : argsCopy)
            args.push_back(&a[0]);
        args.push_back(nullptr);
        for (std::string& v : vars)
            envp.push_back(&v[0]);
        envp.push_back(nullptr);

        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0 && err >= 0) {
            pid = ::fork();
            if (pid == 0) {
                ::setpgid(0, 0);
                // Should the test itself die, it goes too.
                ::prctl(PR_SET_PDEATHSIG, SIGTERM);
                ::dup2(out, STDOUT_FILENO);
                ::dup2(err, STDERR_FILENO);
                const int in = ::open("/dev/null", O_RDONLY);
                ::dup2(in, STDIN_FILENO);
                if (::chdir(dir.c_str()) == 0)
                    ::execve(args[0], args.data(), envp.data());
                ::_exit(127);
            }
            // Both sides set the group, so that it is in place whichever runs first.
            if (pid > 0)
                ::setpgid(pid, pid);
        }
        for (const int fd : {out, err})
            if (fd >= 0)
                ::close(fd);
        if (pid < 0)
            pid = 0;
        reaped = false;
        return pid > 0;
    }

    pid_t Pid() const { return pid; }

    // Whether it has ended (and been reaped) by now.
    bool Ended()
    {
        if (pid > 0 && !reaped && ::waitpid(pid, &status, WNOHANG) == pid)
            reaped = true;
        return reaped;
    }

    // Waits for it to end by itself; whether it did before the deadline.
    bool WaitForEnd(TestDeadline::Clock::duration base = TestDeadline::kShortest)
    {
        return pid > 0 && TestDeadline::Until([&]() { return Ended(); },
                                              []() { ::usleep(10000); }, base);
    }

    // The exit code once it has ended by itself; -1 otherwise.
    int ExitCode() const { return reaped && WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

    // Ends its group while it runs: SIGTERM, then SIGKILL at the deadline.
    void Stop()
    {
        if (pid > 0 && !Ended()) {
            ::kill(-pid, SIGTERM);
            if (!WaitForEnd()) {
                ::kill(-pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                reaped = true;
            }
        }
        pid = 0;
    }

private:
    pid_t pid = 0;
    int status = 0;
    bool reaped = false;
};
