#pragma once

#include "AudioClip.h"

#include "pluginterfaces/vst/vsttypes.h"

#include <functional>
#include <string>
#include <vector>

class PluginInstance;

// The process loop: feeds a clip (and a sidechain clip) through an activated
// instance in blocks, as a DAW's offline bounce does, and collects the output.
class Renderer {
public:
    struct Settings {
        int blockSize = 512;
        int precision = 32;
        // One second of silence at the input's rate runs through first and is
        // not kept, as a DAW runs its plug-ins before playback starts: the
        // plug-in's smoothers are at the settings when the input begins.
        bool leadIn = false;
    };

    // Frames of silence run before an input at `sampleRate` (0 without a lead-in).
    long leadInFrames(double sampleRate) const;

    Renderer(PluginInstance& instance, const Settings& settings);

    // Sent at sample offset 0 of the first block, like host automation.
    void addInitialChange(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue normalized);
    // A straight line in plain values from the input's first sample to its
    // last: one point in each block, at its first sample of the input,
    // normalised by the plug-in's controller. The start value is the
    // caller's initial change.
    void addRamp(Steinberg::Vst::ParamID id, double fromPlain, double toPlain);

    // The output has the input's rate and length; a plug-in's reported latency
    // is compensated by running on past the end and dropping the first samples.
    // The lead-in, if any, is processed in the same blocks as if it were the
    // start of the input, so the result equals a render of silence + input
    // with the silence cut.
    bool render(const AudioClip& input, const AudioClip* sidechain, AudioClip& output,
                const std::function<void(double)>& progress, std::string& error);

private:
    template <typename Sample>
    bool run(const AudioClip& input, const AudioClip* sidechain, AudioClip& output,
             const std::function<void(double)>& progress, std::string& error);

    struct Change {
        Steinberg::Vst::ParamID id;
        Steinberg::Vst::ParamValue value;
    };

    PluginInstance& instance_;
    Settings settings_;
    struct Ramp {
        Steinberg::Vst::ParamID id;
        double from;
        double to;
    };

    std::vector<Change> initialChanges_;
    std::vector<Ramp> ramps_;
};
