#include "TestRunner.h"

#include <cstdio>

TestRunner& TestRunner::Instance()
{
    static TestRunner runner;
    return runner;
}

bool TestRunner::Register(const char* name, TestFunc func)
{
    tests.push_back({name, func});
    return true;
}

int TestRunner::Run(const std::string& filter)
{
    int passed = 0;
    int failed = 0;
    for (const Test& test : tests) {
        if (!filter.empty() && test.name.compare(0, filter.size(), filter) != 0)
            continue;
        std::printf("[ RUN      ] %s\n", test.name.c_str());
        std::fflush(stdout);
        currentFailures = 0;
        test.func(*this);
        if (currentFailures == 0) {
            ++passed;
            std::printf("[       OK ] %s\n", test.name.c_str());
        } else {
            ++failed;
            std::printf("[  FAILED  ] %s\n", test.name.c_str());
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    std::fflush(stdout);
    return failed == 0 && passed > 0 ? 0 : 1;
}

bool TestRunner::Check(bool ok, const char* expression, const char* file, int line, const std::string& detail)
{
    if (ok)
        return true;
    ++currentFailures;
    std::printf("%s:%d: check failed: %s%s%s\n", file, line, expression, detail.empty() ? "" : "\n    ",
                detail.c_str());
    return false;
}

void TestRunner::SetOption(const std::string& name, const std::string& value)
{
    for (auto& option : options) {
        if (option.first == name) {
            option.second = value;
            return;
        }
    }
    options.emplace_back(name, value);
}

std::string TestRunner::Option(const std::string& name) const
{
    for (const auto& option : options) {
        if (option.first == name)
            return option.second;
    }
    return std::string();
}
