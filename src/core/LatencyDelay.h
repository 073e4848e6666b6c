#pragma once

#include <cstdint>
#include <vector>

// Delays the dry signal by the reported latency while the plug is bypassed,
// so toggling the bypass does not shift audio in time.
class LatencyDelay {
public:
    LatencyDelay(int32_t nInputs, int32_t nOutputs, int32_t delaySamples);

    void SetDelay(int32_t delaySamples);   // allocates: never from the audio thread
    void Process(double* const* inputs, double* const* outputs, int32_t nFrames);

    int32_t Delay() const { return delay; }

private:
    std::vector<double> ring;
    uint32_t writePos = 0;
    int32_t nIn;
    int32_t nOut;
    int32_t delay = 0;
};
