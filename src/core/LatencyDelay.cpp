#include "core/LatencyDelay.h"

#include <algorithm>

LatencyDelay::LatencyDelay(int32_t nInputs, int32_t nOutputs, int32_t delaySamples)
    : nIn(nInputs > 0 ? nInputs : 0),
      nOut(nOutputs > 0 ? nOutputs : 0)
{
    SetDelay(delaySamples);
}

void LatencyDelay::SetDelay(int32_t delaySamples)
{
    delay = delaySamples > 0 ? delaySamples : 0;
    ring.assign(static_cast<size_t>(delay) * static_cast<size_t>(nIn), 0.0);
    writePos = 0;
}

void LatencyDelay::Process(double* const* inputs, double* const* outputs, int32_t nFrames)
{
    if (delay <= 0)
        return;
    const int32_t nCh = std::min(nIn, nOut);
    uint32_t pos = writePos;
    for (int32_t s = 0; s < nFrames; ++s) {
        for (int32_t ch = 0; ch < nCh; ++ch) {
            double& cell = ring[static_cast<size_t>(ch) * static_cast<size_t>(delay) + pos];
            // Read the input first: inputs and outputs may share memory.
            const double in = inputs[ch][s];
            outputs[ch][s] = cell;
            cell = in;
        }
        pos = (pos + 1) % static_cast<uint32_t>(delay);
    }
    writePos = pos;
}
