#pragma once

#include "startup/PluginBundle.h"
#include "FixedParameterChanges.h"
#include "common/StereoMaterial.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <cstdint>
#include <string>
#include <vector>

// The built Tidepull bundle run as a VST 3 host runs it: loaded with dlopen,
// one instance set up for 32- or 64-bit processing, parameters sent as the
// host's queues at the start of a block, audio through process.
class BundleInstance {
public:
    BundleInstance(const std::string& path, double sampleRate, int32_t maxBlock, bool is64);
    ~BundleInstance();
    BundleInstance(const BundleInstance&) = delete;
    BundleInstance& operator=(const BundleInstance&) = delete;

    const std::string& Error() const { return error; }

    // Queued for the next block, normalised as the host sends it.
    void SetNormalized(uint32_t id, double value);
    // One block of n frames; in and out hold float or double channels as set up.
    void Run(void* const* in, void* const* out, int32_t n);
    // n frames of `m` from frame `at`, in the sample size set up, into the
    // instance's own output.
    void RunMaterial(const StereoMaterial& m, size_t at, int32_t n);
    // Whether the output holds anything but zeros: with its output bus off
    // the build drops its output unconverted, and would be timed for less
    // work than a host gives it.
    bool WroteOutput() const;

private:
    PluginBundle bundle;
    Steinberg::Vst::IComponent* component = nullptr;
    Steinberg::Vst::IAudioProcessor* processor = nullptr;
    FixedParameterChanges changes;
    std::vector<double> silence64;
    std::vector<float> silence32;
    std::vector<double> out64;
    std::vector<float> out32;
    bool is64;
    std::string error;
};
