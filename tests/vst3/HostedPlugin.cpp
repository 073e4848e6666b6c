#include "HostedPlugin.h"

#include "HostBus.h"
#include "PluginModule.h"

#include "host/ByteStream.h"

#include <algorithm>

using namespace Steinberg;
using namespace Steinberg::Vst;

const TUID HostedPlugin::kClassId = {'\x0D', '\xE7', '\xAE', '\xF2', '\xDE', '\x00', '\x4E', '\x4F',
                                     'Q',    'l',    'm',    'r',    'T',    'd',    'p',    '1'};

HostedPlugin::HostedPlugin()
{
    IPluginFactory* factory = PluginModule::Shared().GetFactory();
    if (!factory)
        return;
    void* obj = nullptr;
    if (factory->createInstance(kClassId, IComponent::iid, &obj) == kResultOk && obj) {
        component = static_cast<IComponent*>(obj);
        // One object: the controller and the processor are interfaces of it.
        component->queryInterface(IAudioProcessor::iid, reinterpret_cast<void**>(&processor));
        component->queryInterface(IEditController::iid, reinterpret_cast<void**>(&controller));
        component->queryInterface(IUnitInfo::iid, reinterpret_cast<void**>(&units));
    }
    factory->release();
}

HostedPlugin::~HostedPlugin()
{
    if (active) {
        processor->setProcessing(false);
        component->setActive(false);
    }
    if (initialized)
        component->terminate();
    if (units)
        units->release();
    if (controller)
        controller->release();
    if (processor)
        processor->release();
    if (component)
        component->release();
}

tresult HostedPlugin::Initialize()
{
    const tresult result = component->initialize(static_cast<IHostApplication*>(&host));
    initialized = true;
    controller->setComponentHandler(&handler);
    return result;
}

bool HostedPlugin::Prepare(const Setup& s)
{
    setup = s;
    if (!initialized && Initialize() != kResultOk)
        return false;
    if (s.sidechainChannels == 1) {
        SpeakerArrangement ins[2] = {SpeakerArr::kStereo, SpeakerArr::kMono};
        SpeakerArrangement out = SpeakerArr::kStereo;
        if (processor->setBusArrangements(ins, 2, &out, 1) != kResultOk)
            return false;
    }
    component->activateBus(kAudio, kInput, 0, true);
    component->activateBus(kAudio, kOutput, 0, true);
    component->activateBus(kAudio, kInput, 1, s.sidechain);
    ProcessSetup ps{kRealtime, s.sampleSize, s.maxBlock, s.sampleRate};
    if (processor->setupProcessing(ps) != kResultOk)
        return false;
    if (component->setActive(true) != kResultOk)
        return false;
    active = true;
    processor->setProcessing(true);
    return true;
}

void HostedPlugin::SetSidechainActive(bool on)
{
    component->activateBus(kAudio, kInput, 1, on);
}

bool HostedPlugin::ProcessBlock(const StereoSignal& in, const StereoSignal* sc, size_t start, int frames,
                                StereoSignal& out, IParameterChanges* changes, bool inPlace)
{
    const bool is64 = setup.sampleSize == kSample64;
    HostBus mainIn(2, frames, is64);
    HostBus scIn(setup.sidechainChannels, frames, is64);
    HostBus mainOut(2, frames, is64);
    mainIn.Load(in, start);
    if (sc)
        scIn.Load(*sc, start);
    if (inPlace)
        mainOut.ShareChannelsOf(mainIn);

    AudioBusBuffers inputs[2] = {mainIn.Buffers(), scIn.Buffers()};
    ProcessData data;
    data.processMode = kRealtime;
    data.symbolicSampleSize = setup.sampleSize;
    data.numSamples = frames;
    data.numInputs = 2;
    data.numOutputs = 1;
    data.inputs = inputs;
    data.outputs = &mainOut.Buffers();
    data.inputParameterChanges = changes;

    processor->process(data);
    (inPlace ? mainIn : mainOut).Store(out, start);
    const bool intact = mainIn.GuardsIntact() && scIn.GuardsIntact() && mainOut.GuardsIntact();
    guardFault = guardFault || !intact;
    return intact;
}

StereoSignal HostedPlugin::Render(const StereoSignal& in, const StereoSignal* sc, const std::vector<int>& blockSizes,
                                  IParameterChanges* changes, bool inPlace)
{
    StereoSignal out(in.Frames());
    size_t pos = 0;
    size_t k = 0;
    while (pos < in.Frames()) {
        const int want = blockSizes[k % blockSizes.size()];
        const int n = static_cast<int>(std::min<size_t>(static_cast<size_t>(want), in.Frames() - pos));
        ProcessBlock(in, sc, pos, n, out, k == 0 ? changes : nullptr, inPlace);
        pos += static_cast<size_t>(n);
        ++k;
    }
    return out;
}

void HostedPlugin::Apply(IParameterChanges& changes)
{
    StereoSignal none;
    StereoSignal out;
    ProcessBlock(none, nullptr, 0, 0, out, &changes);
}

std::vector<uint8_t> HostedPlugin::SaveState()
{
    vsthost::ByteStream stream;
    if (controller->getState(&stream) != kResultOk)
        return {};
    return stream.bytes();
}

tresult HostedPlugin::LoadState(const std::vector<uint8_t>& bytes)
{
    vsthost::ByteStream stream(bytes);
    return controller->setState(&stream);
}
