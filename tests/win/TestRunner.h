#pragma once

#include <sstream>
#include <string>
#include <vector>

// A small test runner for the Windows test program (no GoogleTest for
// MinGW): tests register themselves, failed checks are printed with their
// place, and the last line is "N passed, M failed".
class TestRunner {
public:
    using TestFunc = void (*)(TestRunner&);

    static TestRunner& Instance();

    bool Register(const char* name, TestFunc func);
    // Runs the tests whose name starts with `filter` (all when empty); the
    // exit code: 0 when all passed.
    int Run(const std::string& filter);

    // Records a failure when `ok` is false; returns ok.
    bool Check(bool ok, const char* expression, const char* file, int line, const std::string& detail = {});

    // Command-line options the tests read: --name value.
    void SetOption(const std::string& name, const std::string& value);
    std::string Option(const std::string& name) const;

private:
    struct Test {
        std::string name;
        TestFunc func;
    };
    std::vector<Test> tests;
    std::vector<std::pair<std::string, std::string>> options;
    int currentFailures = 0;
};

// Streams anything printable into a string for a check's detail.
template <typename T>
std::string TestText(const T& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

#define WIN_TEST(name)                                                                                                 \
    static void name(TestRunner& t);                                                                                   \
    static const bool name##Registered = TestRunner::Instance().Register(#name, name);                                 \
    static void name(TestRunner& t)

// Failed checks are reported and the test goes on; REQUIRE ends the test.
#define CHECK(cond) t.Check(static_cast<bool>(cond), #cond, __FILE__, __LINE__)
#define CHECK_EQ(a, b) t.Check((a) == (b), #a " == " #b, __FILE__, __LINE__, TestText(a) + " vs " + TestText(b))
#define REQUIRE(cond)                                                                                                  \
    do {                                                                                                               \
        if (!t.Check(static_cast<bool>(cond), #cond, __FILE__, __LINE__))                                              \
            return;                                                                                                    \
    } while (0)
