#include "CrossHost.h"

#include "ParameterChanges.h"

#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/vstpresetfile.h"
#include "host/ByteStream.h"

#include <algorithm>

using namespace Steinberg;
using namespace Steinberg::Vst;

const TUID CrossHost::kClassId = {'\x0D', '\xE7', '\xAE', '\xF2', '\xDE', '\x00', '\x4E', '\x4F',
                                  'Q',    'l',    'm',    'r',    'T',    'd',    'p',    '1'};

namespace {

void FillChanges(ParameterChanges& changes, const std::vector<ParamSetting>& settings)
{
    for (const ParamSetting& s : settings)
        changes.Add(s.id, s.normalized);
}

}   // namespace

CrossHost::CrossHost(IPluginFactory* factory)
{
    if (!factory)
        return;
    void* obj = nullptr;
    if (factory->createInstance(kClassId, IComponent::iid, &obj) != kResultOk || !obj)
        return;
    component = static_cast<IComponent*>(obj);
    component->queryInterface(IAudioProcessor::iid, reinterpret_cast<void**>(&processor));
    component->queryInterface(IEditController::iid, reinterpret_cast<void**>(&controller));
}

CrossHost::~CrossHost()
{
    if (active) {
        processor->setProcessing(false);
        component->setActive(false);
    }
    if (initialized)
        component->terminate();
    if (controller)
        controller->release();
    if (processor)
        processor->release();
    if (component)
        component->release();
}

bool CrossHost::Prepare64(double sampleRate, int maxBlock)
{
    if (!Valid())
        return false;
    if (!initialized) {
        if (component->initialize(static_cast<IHostApplication*>(&host)) != kResultOk)
            return false;
        initialized = true;
    }
    component->activateBus(kAudio, kInput, 0, true);
    component->activateBus(kAudio, kInput, 1, true);
    component->activateBus(kAudio, kOutput, 0, true);
    ProcessSetup setup{kRealtime, kSample64, maxBlock, sampleRate};
    if (processor->canProcessSampleSize(kSample64) != kResultTrue)
        return false;
    if (processor->setupProcessing(setup) != kResultOk)
        return false;
    if (component->setActive(true) != kResultOk)
        return false;
    active = true;
    processor->setProcessing(true);
    return true;
}

bool CrossHost::Render(const std::vector<double>& mainInput, const std::vector<double>& sidechainInput,
                       const std::vector<ScenarioStep>& steps, int blockSize, std::vector<double>& output)
{
    const size_t frames = mainInput.size() / 2;
    if (!active || blockSize <= 0 || sidechainInput.size() != mainInput.size())
        return false;
    for (const ScenarioStep& step : steps) {
        if (step.frame % blockSize != 0)
            return false;
    }
    output.assign(mainInput.size(), 0.0);

    std::vector<double> inL(static_cast<size_t>(blockSize)), inR(inL.size());
    std::vector<double> scL(inL.size()), scR(inL.size());
    std::vector<double> outL(inL.size()), outR(inL.size());
    double* inPtrs[2] = {inL.data(), inR.data()};
    double* scPtrs[2] = {scL.data(), scR.data()};
    double* outPtrs[2] = {outL.data(), outR.data()};

    size_t nextStep = 0;
    for (size_t pos = 0; pos < frames; pos += static_cast<size_t>(blockSize)) {
        const int n = static_cast<int>(std::min(frames - pos, static_cast<size_t>(blockSize)));
        for (int i = 0; i < n; ++i) {
            const size_t k = 2 * (pos + static_cast<size_t>(i));
            inL[static_cast<size_t>(i)] = mainInput[k];
            inR[static_cast<size_t>(i)] = mainInput[k + 1];
            scL[static_cast<size_t>(i)] = sidechainInput[k];
            scR[static_cast<size_t>(i)] = sidechainInput[k + 1];
        }
        ParameterChanges changes;
        while (nextStep < steps.size() && static_cast<size_t>(steps[nextStep].frame) == pos)
            FillChanges(changes, steps[nextStep++].settings);

        AudioBusBuffers inputs[2];
        inputs[0].numChannels = 2;
        inputs[0].channelBuffers64 = inPtrs;
        inputs[1].numChannels = 2;
        inputs[1].channelBuffers64 = scPtrs;
        AudioBusBuffers outputs[1];
        outputs[0].numChannels = 2;
        outputs[0].channelBuffers64 = outPtrs;

        ProcessData data;
        data.processMode = kRealtime;
        data.symbolicSampleSize = kSample64;
        data.numSamples = n;
        data.numInputs = 2;
        data.numOutputs = 1;
        data.inputs = inputs;
        data.outputs = outputs;
        data.inputParameterChanges = &changes;
        if (processor->process(data) != kResultOk)
            return false;
        for (int i = 0; i < n; ++i) {
            const size_t k = 2 * (pos + static_cast<size_t>(i));
            output[k] = outL[static_cast<size_t>(i)];
            output[k + 1] = outR[static_cast<size_t>(i)];
        }
    }
    return nextStep == steps.size();
}

bool CrossHost::Apply(const std::vector<ParamSetting>& settings)
{
    if (!active)
        return false;
    ParameterChanges changes;
    FillChanges(changes, settings);
    AudioBusBuffers inputs[2];
    AudioBusBuffers outputs[1];
    inputs[0].numChannels = 2;
    inputs[1].numChannels = 2;
    outputs[0].numChannels = 2;
    ProcessData data;
    data.processMode = kRealtime;
    data.symbolicSampleSize = kSample64;
    data.numSamples = 0;
    data.numInputs = 2;
    data.numOutputs = 1;
    data.inputs = inputs;
    data.outputs = outputs;
    data.inputParameterChanges = &changes;
    return processor->process(data) == kResultOk;
}

std::vector<uint8_t> CrossHost::SaveState()
{
    vsthost::ByteStream stream;
    if (controller->getState(&stream) != kResultOk)
        return {};
    return stream.bytes();
}

tresult CrossHost::LoadState(const std::vector<uint8_t>& bytes)
{
    vsthost::ByteStream stream(bytes);
    return controller->setState(&stream);
}

bool CrossHost::LoadPreset(const std::vector<uint8_t>& fileBytes)
{
    if (!component || fileBytes.empty())
        return false;
    std::vector<uint8_t> copy = fileBytes;
    IPtr<MemoryStream> stream = owned(new MemoryStream(copy.data(), static_cast<TSize>(copy.size())));
    return PresetFile::loadPreset(stream, FUID::fromTUID(kClassId), component, nullptr);
}
