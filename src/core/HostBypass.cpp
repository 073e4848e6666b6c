#include "core/HostBypass.h"

#include <algorithm>

void HostBypass::SwitchingPiece(PlugCore& plug, int32_t nFrames, bool processing)
{
    const bool fresh = freshStart;
    if (fresh || plug.InputCount() < Crossfade::kChannels || plug.OutputCount() < Crossfade::kChannels)
        fade.Jump(processing);
    else if (processing != fade.Wet()) {
        // Resuming from the pass-through, the plug's own switches take their
        // place at once: this fade covers them.
        if (processing && !fade.Fading())
            freshStart = true;
        fade.Head(processing, plug.SampleRate());
    }

    if (fade.Fading() && nFrames > 0)
        Fade(plug, nFrames);
    else if (processing)
        plug.ProcessBlock(plug.InputPointers(), plug.OutputPointers(), nFrames);
    else
        plug.PassThroughBlock(nFrames);
    // Fresh ends with the first sample processed: a point later in the
    // first block fades as it would in a host that split the block there.
    if (fresh)
        freshStart = nFrames == 0;
}

void HostBypass::Fade(PlugCore& plug, int32_t nFrames)
{
    // The chain runs through the fade either way, from the state it had
    // (bypassed blocks leave it untouched); the fade starts at the piece's
    // first sample.
    constexpr int32_t kMaxPorts = PlugCore::kMaxBoundPorts;
    const int32_t nIn = std::min(plug.InputCount(), kMaxPorts);
    const int32_t nOut = std::min(plug.OutputCount(), kMaxPorts);
    double* in[kMaxPorts];
    double* out[kMaxPorts];
    int32_t done = 0;
    auto moveTo = [&](int32_t at) {
        for (int32_t c = 0; c < nIn; ++c)
            in[c] = plug.InputPointers()[c] + at;
        for (int32_t c = 0; c < nOut; ++c)
            out[c] = plug.OutputPointers()[c] + at;
    };
    while (done < nFrames && fade.Fading()) {
        const int32_t n = std::min({nFrames - done, fade.Remaining(), Crossfade::kChunk});
        moveTo(done);
        // Kept first: the host may hand the same memory for input and output.
        fade.KeepDry(in, n);
        plug.ProcessBlock(in, out, n);
        fade.Blend(out, n);
        done += n;
    }
    if (done == nFrames)
        return;
    if (fade.Wet()) {
        moveTo(done);
        plug.ProcessBlock(in, out, nFrames - done);
    } else {
        plug.PassThroughBlock(nFrames - done, done);
    }
}
