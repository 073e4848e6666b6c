#pragma once

#include <cstddef>
#include <vector>

// Times saturate calls on the arguments the music scene feeds it, a chunk at
// a time, so that a chain benchmark can measure its unit interleaved with
// its own blocks: whatever slows the machine down slows both alike.
class SaturateProbe {
public:
    SaturateProbe();

    // Runs n calls; answers the thread CPU seconds they took.
    double Run(int n);
    // The calls and seconds of every Run so far.
    double Calls() const { return calls; }
    double Seconds() const { return seconds; }
    double NanosecondsPerCall() const { return calls > 0.0 ? seconds * 1e9 / calls : 0.0; }

private:
    std::vector<double> args;
    size_t next = 0;
    double calls = 0.0;
    double seconds = 0.0;
};
