#pragma once

#include <ctime>

// This thread's CPU time in seconds: the figures stay meaningful on a machine
// that other work shares, where wall-clock time would count their share too.
class ThreadClock {
public:
    static double Seconds()
    {
        timespec ts;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
    }
};
