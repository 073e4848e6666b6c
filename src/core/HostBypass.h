#pragma once

#include "core/Crossfade.h"
#include "core/PlugCore.h"

#include <cstdint>

// The host's own bypass, the same in every format: the plug's output fades
// into the pass-through and back, and a fresh start (a new instance, an
// activation, a return from the pass-through) takes the plug's own switches
// at once.
class HostBypass {
public:
    // Through the whole first block after a start, in all its pieces.
    bool FreshStart() const { return freshStart; }
    void Restart() { freshStart = true; }
    void EndFreshStart() { freshStart = false; }

    // One piece of the plug's bound buffers: processed, passed through or
    // faded between the two. Inline: most pieces do not switch.
    void Run(PlugCore& plug, int32_t nFrames, bool processing)
    {
        if (freshStart || processing != fade.Wet() || fade.Fading())
            SwitchingPiece(plug, nFrames, processing);
        else if (processing)
            plug.ProcessBlock(plug.InputPointers(), plug.OutputPointers(), nFrames);
        else
            plug.PassThroughBlock(nFrames);
    }

private:
    // A piece that starts fresh, switches the host bypass or goes on with its fade.
    void SwitchingPiece(PlugCore& plug, int32_t nFrames, bool processing);
    void Fade(PlugCore& plug, int32_t nFrames);

    bool freshStart = true;
    // Between the processed output and the pass-through.
    Crossfade fade;
};
