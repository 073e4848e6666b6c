#pragma once

#include "ComponentHandler.h"
#include "HostContext.h"
#include "ParameterSettings.h"
#include "PluginInstance.h"

#include "pluginterfaces/base/smartpointer.h"

#include <functional>
#include <string>
#include <vector>

class AudioClip;
class Tidepull;

// A Tidepull built in this process and driven the way a host drives it:
// parameters named as tidepull-render names them, the changes flushed in a
// block of their own, then the audio in blocks. Notes on the settings go to
// stderr.
class PlugHarness {
public:
    explicit PlugHarness(const char* programName);

    // Builds the plug and resolves the settings against its parameters.
    bool create(const std::vector<ParameterSettings::Setting>& sets, std::string& error);
    // Buses, processing at this rate, activation, then the settings.
    bool start(double sampleRate, std::string& error);
    // `afterBlock` runs after every block, while the plug holds that block's state.
    bool render(const AudioClip& input, AudioClip& output, int blockSize, const std::function<void()>& afterBlock,
                std::string& error);
    // One second of silence, long enough for every smoother to reach its
    // resting value: the lead-in a DAW gives before playback.
    bool settle(std::string& error);
    void stop();

    Tidepull* plug() const { return plug_; }
    const ParameterSettings& settings() const { return settings_; }
    // "Title = value, ..." without the last separator, or "defaults".
    std::string settingsText() const;

private:
    bool applySettings(std::string& error);

    const char* programName_;
    double sampleRate_ = 0.0;
    // Declared first so that they outlive the instance.
    Steinberg::IPtr<HostContext> context_;
    Steinberg::IPtr<ComponentHandler> handler_;
    PluginInstance instance_;
    Tidepull* plug_ = nullptr;   // owned by instance_
    ParameterSettings settings_;
};
