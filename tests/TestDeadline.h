#pragma once

#include <chrono>
#include <cstdlib>
#include <string>

// How long a test waits for what happens outside its own thread: an X
// server, Wine, a child process, a window message, a timer. A wait ends when
// its condition holds; the deadline only decides when to give up, so it is
// generous: 10 s at least, times TIDEPULL_TEST_TIMEOUT_SCALE (a number of 1
// or more) on a slow or busy machine. Header only: the Windows test program
// uses it too.
class TestDeadline {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::seconds kShortest{10};

    // The scale from the environment; 1 when unset or not a number of 1 or more.
    static double Scale()
    {
        const char* text = std::getenv("TIDEPULL_TEST_TIMEOUT_SCALE");
        if (!text || !*text)
            return 1.0;
        char* end = nullptr;
        const double scale = std::strtod(text, &end);
        return (end != text && *end == '\0' && scale >= 1.0 && scale <= 1000.0) ? scale : 1.0;
    }

    // `base` (raised to the shortest) times the scale.
    static Clock::duration Limit(Clock::duration base = kShortest)
    {
        if (base < kShortest)
            base = kShortest;
        return std::chrono::duration_cast<Clock::duration>(base * Scale());
    }

    static long LimitMs(Clock::duration base = kShortest)
    {
        return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Limit(base)).count());
    }

    // "12 s": for messages of a wait that gave up.
    static std::string LimitText(Clock::duration base = kShortest)
    {
        return std::to_string((LimitMs(base) + 500) / 1000) + " s";
    }

    explicit TestDeadline(Clock::duration base = kShortest) : end(Clock::now() + Limit(base)) {}

    bool Passed() const { return Clock::now() >= end; }

    long RemainingMs() const
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        return left > 0 ? static_cast<long>(left) : 0;
    }

    // Runs `step` (pump messages, read events, pause briefly) until `done`
    // holds; whether it held before the deadline.
    template <typename Done, typename Step>
    static bool Until(Done&& done, Step&& step, Clock::duration base = kShortest)
    {
        const TestDeadline deadline(base);
        for (;;) {
            if (done())
                return true;
            if (deadline.Passed())
                return false;
            step();
        }
    }

private:
    Clock::time_point end;
};
