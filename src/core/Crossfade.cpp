#include "core/Crossfade.h"

#include "core/NonFinite.h"

void Crossfade::Jump(bool toWet)
{
    wet = toWet;
    step = toWet ? length : 0;
}

void Crossfade::Head(bool toWet, double sampleRate)
{
    if (!Fading()) {
        // A new fade takes the length of the current rate; one that turns
        // round keeps its own.
        const double samples = sampleRate * kSeconds + 0.5;
        const int32_t newLength = samples < 1.0 ? 1 : (samples > 1e6 ? 1000000 : static_cast<int32_t>(samples));
        step = step == 0 ? 0 : newLength;
        length = newLength;
    }
    wet = toWet;
}

void Crossfade::KeepDry(const double* const* inputs, int32_t n)
{
    for (int32_t c = 0; c < kChannels; ++c) {
        for (int32_t i = 0; i < n; ++i)
            dry[c * kChunk + i] = NonFinite::Scrubbed(inputs[c][i]);
    }
}

void Crossfade::Blend(double* const* outputs, int32_t n)
{
    const double scale = 1.0 / length;
    const int32_t direction = wet ? 1 : -1;
    for (int32_t i = 0; i < n; ++i) {
        step += direction;
        const double p = step * scale;
        const double share = p * p * (3.0 - 2.0 * p);
        // The last step has a share of exactly 1 or 0: the side itself.
        for (int32_t c = 0; c < kChannels; ++c)
            outputs[c][i] = outputs[c][i] * share + dry[c * kChunk + i] * (1.0 - share);
    }
}
