#include "peers/BundleInstance.h"

#include <algorithm>

using namespace Steinberg;
using namespace Steinberg::Vst;

BundleInstance::BundleInstance(const std::string& path, double sampleRate, int32_t maxBlock, bool is64_)
    : bundle(path),
      is64(is64_)
{
    if (!bundle.Open() || !bundle.TakeFactory()) {
        error = "Tidepull bundle: " + bundle.Error();
        return;
    }
    bundle.ReadClassInfos();
    FUnknown* unknown = bundle.CreateInstance();
    if (!unknown) {
        error = "Tidepull bundle: no instance";
        return;
    }
    component = static_cast<IComponent*>(unknown);
    if (component->queryInterface(IAudioProcessor::iid, reinterpret_cast<void**>(&processor)) != kResultOk ||
        component->initialize(nullptr) != kResultOk) {
        error = "Tidepull bundle: not an audio processor";
        return;
    }
    // A bus starts inactive, and an inactive output is dropped unconverted:
    // hosts switch the main buses on, so the 32-bit build is timed writing
    // its output as the LV2 build and the peers do.
    if (component->activateBus(kAudio, kInput, 0, true) != kResultOk ||
        component->activateBus(kAudio, kOutput, 0, true) != kResultOk) {
        error = "Tidepull bundle: main buses refused";
        return;
    }
    ProcessSetup setup{kRealtime, is64 ? kSample64 : kSample32, maxBlock, sampleRate};
    if (processor->setupProcessing(setup) != kResultOk) {
        error = "Tidepull bundle: setupProcessing refused";
        return;
    }
    component->setActive(true);
    processor->setProcessing(true);
    silence64.assign(static_cast<size_t>(maxBlock), 0.0);
    silence32.assign(static_cast<size_t>(maxBlock), 0.0f);
    out64.assign(static_cast<size_t>(maxBlock) * 2, 0.0);
    out32.assign(out64.size(), 0.0f);
}

BundleInstance::~BundleInstance()
{
    if (processor) {
        processor->setProcessing(false);
        component->setActive(false);
        processor->release();
    }
    if (component) {
        component->terminate();
        component->release();
    }
}

void BundleInstance::SetNormalized(uint32_t id, double value)
{
    changes.Add(id, value);
}

void BundleInstance::Run(void* const* in, void* const* out, int32_t n)
{
    // The sidechain bus is passed as a host passes an inactive bus: present, silent.
    void* sidechain[2] = {is64 ? static_cast<void*>(silence64.data()) : static_cast<void*>(silence32.data()),
                          is64 ? static_cast<void*>(silence64.data()) : static_cast<void*>(silence32.data())};
    AudioBusBuffers inputs[2] = {};
    inputs[0].numChannels = 2;
    inputs[1].numChannels = 2;
    AudioBusBuffers output = {};
    output.numChannels = 2;
    if (is64) {
        inputs[0].channelBuffers64 = reinterpret_cast<Sample64**>(const_cast<void**>(in));
        inputs[1].channelBuffers64 = reinterpret_cast<Sample64**>(sidechain);
        output.channelBuffers64 = reinterpret_cast<Sample64**>(const_cast<void**>(out));
    } else {
        inputs[0].channelBuffers32 = reinterpret_cast<Sample32**>(const_cast<void**>(in));
        inputs[1].channelBuffers32 = reinterpret_cast<Sample32**>(sidechain);
        output.channelBuffers32 = reinterpret_cast<Sample32**>(const_cast<void**>(out));
    }
    ProcessData data;
    data.processMode = kRealtime;
    data.symbolicSampleSize = is64 ? kSample64 : kSample32;
    data.numSamples = n;
    data.numInputs = 2;
    data.numOutputs = 1;
    data.inputs = inputs;
    data.outputs = &output;
    data.inputParameterChanges = changes.getParameterCount() > 0 ? &changes : nullptr;
    processor->process(data);
    changes.Clear();
}

void BundleInstance::RunMaterial(const StereoMaterial& m, size_t at, int32_t n)
{
    const size_t stride = silence64.size();
    if (is64) {
        void* in[2] = {const_cast<double*>(m.l.data() + at), const_cast<double*>(m.r.data() + at)};
        void* out[2] = {out64.data(), out64.data() + stride};
        Run(in, out, n);
    } else {
        void* in[2] = {const_cast<float*>(m.lf.data() + at), const_cast<float*>(m.rf.data() + at)};
        void* out[2] = {out32.data(), out32.data() + stride};
        Run(in, out, n);
    }
}

bool BundleInstance::WroteOutput() const
{
    auto nonzero = [](double x) { return x != 0.0; };
    return std::any_of(out64.begin(), out64.end(), nonzero) || std::any_of(out32.begin(), out32.end(), nonzero);
}
