#include "vst3/Vst3Plug.h"

#include "core/FixedText.h"
#include "dsp/stageFilter.h"
#include "core/DenormalGuard.h"
#include "vst3/IdentifyHost.h"
#include "vst3/Vst3EditorView.h"
#include "vst3/Vst3Parameter.h"
#include "vst3/Vst3Text.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int32 kApiVst3 = 1;

// The host's streams, seen as the core's byte stream.
class HostByteStream : public ByteStream {
public:
    explicit HostByteStream(IBStream* s) : stream(s) {}
    bool Read(void* dst, int32_t n, int32_t* done) override
    {
        int32 count = 0;
        const bool ok = stream->read(dst, n, &count) == kResultOk;
        *done = count;
        return ok;
    }
    bool Write(const void* src, int32_t n, int32_t* done) override
    {
        int32 count = 0;
        const bool ok = stream->write(const_cast<void*>(src), n, &count) == kResultOk;
        *done = count;
        return ok;
    }

private:
    IBStream* stream;
};

template <typename T>
T** ChannelsOf(const AudioBusBuffers& bus);
template <>
float** ChannelsOf<float>(const AudioBusBuffers& bus)
{
    return bus.channelBuffers32;
}
template <>
double** ChannelsOf<double>(const AudioBusBuffers& bus)
{
    return bus.channelBuffers64;
}

// Channel ch of a host bus moved on by offset; a channel the host did not
// give (or gave as null) comes out null, which the core reads as silence.
template <typename T>
inline T* HostChannel(const AudioBusBuffers* bus, int32 ch, int32 offset)
{
    if (!bus || ch >= bus->numChannels)
        return nullptr;
    T** channels = ChannelsOf<T>(*bus);
    return (channels && channels[ch]) ? channels[ch] + offset : nullptr;
}

// The connected ports from begin to end take the bus's channels in order;
// an unconnected port takes none and uses up none.
template <typename T>
inline void AssignChannels(uint64_t connected, int32_t begin, int32_t end, const AudioBusBuffers* bus, int32 offset,
                           T** out)
{
    int32 cursor = 0;
    for (int32_t i = begin; i < end; ++i) {
        if ((connected >> i) & 1u)
            out[i] = HostChannel<T>(bus, cursor++, offset);
    }
}

}   // namespace

Vst3Plug::Vst3Plug(int32_t nParams, const char* channelIOString, int32_t nPresets, const char* effectName,
                   const char* productName, const char* makerName, int32_t version, int32_t uniqueId, int32_t makerId)
    : PlugCore(nParams, channelIOString, nPresets, effectName, productName, makerName, version, uniqueId, makerId,
               kApiVst3)
{
    MarkChannelsConnected(PortDirection::kInputs, 0, InputCount(), true);
    MarkChannelsConnected(PortDirection::kOutputs, 0, OutputCount(), true);
    CreateLatencyDelay();

    SetInputBusName(0, "Main Input");
    if (sidechainChannels != 0)
        SetInputBusName(1, "Aux Input");
    if (IsInstrument()) {
        char name[32];
        for (int32_t pair = 0; pair < (OutputCount() + 1) / 2; ++pair) {
            std::snprintf(name, sizeof name, "Output %i", pair + 1);
            SetOutputBusName(pair, name);
        }
    } else {
        SetOutputBusName(0, "Output");
    }

    // A host may process before it sets processing up; the buffers then
    // match the SDK's default setup, so no block ever runs past them.
    SetMaxBlockSize(processSetup.maxSamplesPerBlock);
}

Vst3Plug::~Vst3Plug()
{
    views.clear();
}

SpeakerArrangement Vst3Plug::ArrangementForCount(int32_t channels)
{
    switch (channels) {
    case 1: return 0x80000;
    case 2: return 0x3;
    case 3: return 0x103;
    case 4: return 0x33;
    case 5: return 0x37;
    case 6: return 0x3F;
    default: return 0;
    }
}

static int32 ChannelCountOf(SpeakerArrangement arr)
{
    int32 count = 0;
    for (; arr; arr &= arr - 1)
        ++count;
    return count;
}

// ---- IPluginBase ----

tresult PLUGIN_API Vst3Plug::initialize(FUnknown* context)
{
    const tresult result = SingleComponentEffect::initialize(context);

    IHostApplication* app = nullptr;
    if (context && context->queryInterface(IHostApplication::iid, reinterpret_cast<void**>(&app)) == kResultOk && app) {
        String128 name = {};
        app->getName(name);
        char text[128];
        NarrowFromString128(name, text, sizeof text);
        text[127] = '\0';
        SetHost(IdentifyHost(text), 0);
    }

    if (result == kResultOk) {
        String128 name;
        const int32_t mainChannels = InputCount() - sidechainChannels;
        if (mainChannels >= 1 && mainChannels <= 6) {
            WidenToString128(InputBusName(0), name);
            addAudioInput(name, ArrangementForCount(mainChannels), kMain, BusInfo::kDefaultActive);
        }
        if (IsInstrument()) {
            for (int32_t pair = 0; pair < (OutputCount() + 1) / 2; ++pair) {
                WidenToString128(OutputBusName(pair), name);
                addAudioOutput(name, 0x3, kMain, BusInfo::kDefaultActive);
            }
        } else {
            WidenToString128(OutputBusName(0), name);
            addAudioOutput(name, ArrangementForCount(OutputCount()), kMain, BusInfo::kDefaultActive);
        }
        if (sidechainChannels != 0) {
            sidechainChannels = std::min(sidechainChannels, 2);
            WidenToString128(InputBusName(1), name);
            addAudioInput(name, sidechainChannels == 2 ? 0x3 : 0x80000, kAux, 0);
        }
        if (HandlesMidi())
            addEventInput(STR16("MIDI Input"), 1, kMain, BusInfo::kDefaultActive);
        CreateParameters();
    }

    HostReady();
    SelectPreset(0);
    if (app)
        app->release();
    return result;
}

void Vst3Plug::CreateParameters()
{
    if (PresetCount() > 0) {
        auto* preset = new Parameter(STR16("Preset"), kPresetParamId, nullptr, 0.0, PresetCount(),
                                     ParameterInfo::kIsProgramChange, kRootUnitId);
        preset->setPrecision(4);
        parameters.addParameter(preset);
    }
    if (!IsInstrument()) {
        auto* bypass = new StringListParameter(
            STR16("Bypass"), kBypassParamId, nullptr,
            ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass, kRootUnitId);
        bypass->appendString(STR16("off"));
        bypass->appendString(STR16("on"));
        parameters.addParameter(bypass);
    }
    std::vector<const char*>& groups = GroupNames();
    for (int32_t i = 0; i < ParamCount(); ++i) {
        ParamRecord* record = ParamAt(i);
        UnitID unit = kRootUnitId;
        if (record->Group()[0] != '\0') {
            auto it = std::find_if(groups.begin(), groups.end(),
                                   [record](const char* g) { return std::strcmp(g, record->Group()) == 0; });
            if (it == groups.end()) {
                groups.push_back(record->Group());
                unit = static_cast<UnitID>(groups.size());
            } else {
                unit = static_cast<UnitID>(it - groups.begin()) + 1;
            }
        }
        parameters.addParameter(new Vst3Parameter(*record, static_cast<ParamID>(i), unit));
    }
}

// ---- IComponent ----

tresult PLUGIN_API Vst3Plug::setActive(TBool state)
{
    if (state) {
        std::lock_guard<std::recursive_mutex> lock(Mutex());
        hostBypass.Restart();
    }
    ActivationChanged(state != 0);
    return kResultOk;
}

tresult PLUGIN_API Vst3Plug::getState(IBStream* state)
{
    if (!state)
        return kInvalidArgument;
    HostByteStream stream(state);
    return SaveState(stream) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API Vst3Plug::setState(IBStream* state)
{
    if (!state)
        return kInvalidArgument;
    HostByteStream stream(state);
    return LoadState(stream) ? kResultOk : kResultFalse;
}

// ---- IAudioProcessor ----

tresult PLUGIN_API Vst3Plug::setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                                int32 numOuts)
{
    // Everything is checked before anything changes: a refused request
    // leaves the buses, and so what getBusArrangement suggests, as they were.
    if (!inputs || numIns < 1 || !outputs || numOuts != static_cast<int32>(audioOutputs.size()))
        return kResultFalse;
    const int32 nIn = ChannelCountOf(inputs[0]);
    const int32 nOut = ChannelCountOf(outputs[0]);
    int32 nSc = 0;
    if (sidechainChannels == 0) {
        if (numIns != 1 || !LegalIO(nIn, nOut))
            return kResultFalse;
    } else {
        // The channel setups count main and sidechain channels together, and
        // the sidechain ports are always there: the main bus must carry
        // exactly the main channels, the sidechain at least one channel and
        // no more than it has ports for.
        if (numIns != 2)
            return kResultFalse;
        nSc = ChannelCountOf(inputs[1]);
        if (nIn != InputCount() - sidechainChannels || nSc < 1 || nSc > sidechainChannels ||
            !LegalIO(InputCount(), nOut))
            return kResultFalse;
    }

    MarkChannelsConnected(PortDirection::kInputs, 0, InputCount(), false);
    MarkChannelsConnected(PortDirection::kOutputs, 0, OutputCount(), false);

    AudioBus* mainIn = getAudioInput(0);
    if (!mainIn || ChannelCountOf(mainIn->getArrangement()) != nIn) {
        removeAudioInputs();
        addAudioInput(STR16("Input"), ArrangementForCount(nIn), kMain, BusInfo::kDefaultActive);
    }
    AudioBus* mainOut = getAudioOutput(0);
    if (!mainOut || ChannelCountOf(mainOut->getArrangement()) != nOut) {
        removeAudioOutputs();
        addAudioOutput(STR16("Output"), ArrangementForCount(nOut), kMain, BusInfo::kDefaultActive);
    }
    if (sidechainChannels != 0) {
        AudioBus* sc = getAudioInput(1);
        if (!sc || ChannelCountOf(sc->getArrangement()) != nSc) {
            removeAudioInputs();
            addAudioInput(STR16("Input"), ArrangementForCount(nIn), kMain, BusInfo::kDefaultActive);
            addAudioInput(STR16("Sidechain Input"), ArrangementForCount(nSc), kAux, 0);
        }
    }
    return kResultOk;
}

tresult PLUGIN_API Vst3Plug::canProcessSampleSize(int32 symbolicSampleSize)
{
    return (symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64) ? kResultOk : kResultFalse;
}

uint32 PLUGIN_API Vst3Plug::getLatencySamples()
{
    return static_cast<uint32>(std::max(LatencySamples(), 0));
}

uint32 PLUGIN_API Vst3Plug::getTailSamples()
{
    // Rates are below 1e7, so the count fits.
    const double ring = std::ceil(TailSeconds() * SampleRate());
    return static_cast<uint32>(std::max(static_cast<double>(std::max(TailSamples(), 0)), ring));
}

tresult PLUGIN_API Vst3Plug::setupProcessing(ProcessSetup& setup)
{
    if (setup.symbolicSampleSize > kSample64)
        return kResultFalse;
    // Buffers are sized here and nowhere else: a block size the buffers can
    // not hold, or a rate the filters can not run at, is refused.
    if (setup.maxSamplesPerBlock < 1 || setup.maxSamplesPerBlock > kMaxBlockLimit ||
        !(setup.sampleRate >= stageFilter::kMinSampleRate) || !(setup.sampleRate < 1e7))
        return kResultFalse;
    SetSampleRate(setup.sampleRate);
    // The host bypass stays as the host set it: a new setup (a new block
    // size, a new rate) is no reason to unbypass a track.
    SetMaxBlockSize(setup.maxSamplesPerBlock);
    OnReset();
    processSetup = setup;
    return kResultOk;
}

bool Vst3Plug::KnowsParam(ParamID id) const
{
    if (id == kBypassParamId)
        return !IsInstrument();
    if (id == kPresetParamId)
        return PresetCount() > 0;
    return id < static_cast<ParamID>(ParamCount());
}

void Vst3Plug::ApplyParamPoint(ParamID id, ParamValue value)
{
    if (id == kBypassParamId) {
        SetBypassed(value > 0.5);
    } else if (id == kPresetParamId) {
        // Hosts write every parameter back after loading a project, the
        // preset that is already selected included: that must not reload it.
        const int32_t idx = std::min(std::max(TruncateToInt32(value * PresetCount()), 0), PresetCount() - 1);
        if (idx != CurrentPreset())
            SelectPreset(idx);
    } else {
        SetParameterFromHost(static_cast<int32_t>(id), value);
    }
}

tresult PLUGIN_API Vst3Plug::process(ProcessData& data)
{
    // Subnormals off for this call only; the host's mode comes back on return.
    DenormalGuard denormals;
    std::lock_guard<std::recursive_mutex> lock(Mutex());

    if (const ProcessContext* context = data.processContext) {
        hostTempo.store(context->tempo, std::memory_order_relaxed);
        hostSamplePos.store(context->projectTimeSamples, std::memory_order_relaxed);
        hostPpqPos.store(context->projectTimeMusic, std::memory_order_relaxed);
        hostBarPos.store(context->barPositionMusic, std::memory_order_relaxed);
        hostCycleStart.store(context->cycleStartMusic, std::memory_order_relaxed);
        hostCycleEnd.store(context->cycleEndMusic, std::memory_order_relaxed);
        hostTimeSigNumerator.store(context->timeSigNumerator, std::memory_order_relaxed);
        hostTimeSigDenominator.store(context->timeSigDenominator, std::memory_order_relaxed);
        hostTransportState.store(context->state, std::memory_order_relaxed);
    }
    const int32 total = std::max<int32>(data.numSamples, 0);
    auto known = [this](ParamID id) { return KnowsParam(id); };
    auto apply = [this](ParamID id, ParamValue value) { ApplyParamPoint(id, value); };
    queueMerge.Start(data.inputParameterChanges, total, known);

    if (HandlesMidi() && data.inputEvents) {
        const int32 n = data.inputEvents->getEventCount();
        for (int32 k = 0; k < n; ++k) {
            Event e{};
            if (data.inputEvents->getEvent(k, e) != kResultOk)
                continue;
            MidiEvent m;
            m.offset = e.sampleOffset;
            if (e.type == Event::kNoteOnEvent) {
                m.status = static_cast<uint8_t>(0x90 | (e.noteOn.channel & 0x0F));
                m.data1 = static_cast<uint8_t>(e.noteOn.pitch);
                m.data2 = static_cast<uint8_t>(static_cast<int>(e.noteOn.velocity * 127.0f));
            } else if (e.type == Event::kNoteOffEvent) {
                m.status = static_cast<uint8_t>(0x80 | (e.noteOff.channel & 0x0F));
                m.data1 = static_cast<uint8_t>(e.noteOff.pitch);
                m.data2 = 0;
            } else {
                continue;
            }
            HandleMidiEvent(m);
        }
    }

    const int32 sampleSize = processSetup.symbolicSampleSize;
    if (sampleSize != kSample32 && sampleSize != kSample64) {
        queueMerge.ApplyUpTo(total, known, apply);
        return kResultOk;
    }
    const bool is64 = sampleSize == kSample64;
    if (busCacheGeneration != busListGeneration())
        RefreshBusCache();

    // Each point applies from its own sample on: the block runs in pieces
    // between successive offsets, so the sound is the same whatever the
    // host's block size. A piece is also never longer than the buffers were
    // sized for; an empty block still runs once, as hosts use it to flush
    // parameters.
    const int32 piece = std::max(MaxBlockSize(), 1);
    int32 offset = 0;
    queueMerge.ApplyUpTo(0, known, apply);
    if (total == 0)
        ProcessPiece(data, 0, 0, is64);
    while (offset < total) {
        const int32 stop = queueMerge.NextOffset(known);
        while (offset < stop) {
            const int32 n = std::min(stop - offset, piece);
            ProcessPiece(data, offset, n, is64);
            offset += n;
        }
        queueMerge.ApplyUpTo(offset, known, apply);
    }
    return kResultOk;
}

void Vst3Plug::ProcessPiece(ProcessData& data, int32_t offset, int32_t nFrames, bool is64)
{
    if (is64) {
        BindInputs<double>(data, offset, nFrames);
        BindOutputs<double>(data, offset);
    } else {
        BindInputs<float>(data, offset, nFrames);
        BindOutputs<float>(data, offset);
    }
    hostBypass.Run(*this, nFrames, !IsBypassed());
    if (!is64)
        ConvertOutputsTo32(nFrames);
}

void Vst3Plug::RefreshBusCache()
{
    busCacheGeneration = busListGeneration();
    cachedSidechainBus = getAudioInput(1);
    cachedOutputBusCount = std::min(static_cast<int32>(audioOutputs.size()), kMaxBoundPorts);
    for (int32 i = 0; i < cachedOutputBusCount; ++i)
        cachedOutputBuses[i] = getAudioOutput(i);
}

AudioBus* Vst3Plug::OutputBusAt(int32 index)
{
    return index < cachedOutputBusCount ? cachedOutputBuses[index] : getAudioOutput(index);
}

template <typename T>
void Vst3Plug::BindInputs(ProcessData& data, int32_t offset, int32_t nFrames)
{
    const int32_t n = std::min(InputCount(), kMaxBoundPorts);
    T* channels[kMaxBoundPorts];

    if (data.numInputs < 1 || !data.inputs) {
        // Nothing from the host: every channel reads silence, never a
        // pointer left over from an earlier block.
        for (int32_t i = 0; i < n; ++i)
            channels[i] = nullptr;
        BindInputPorts(n, PortsBelow(n), channels, nFrames);
        return;
    }

    const AudioBusBuffers* mainBus = &data.inputs[0];
    const int32_t hostMain = std::max<int32>(mainBus->numChannels, 0);
    if (sidechainChannels == 0) {
        const uint64_t connected = PortsBelow(std::min(hostMain, n));
        AssignChannels(connected, 0, n, mainBus, offset, channels);
        BindInputPorts(n, connected, channels, nFrames);
        return;
    }

    const int32_t mainChannels = std::max(n - sidechainChannels, 0);
    uint64_t connected = PortsBelow(n);
    if (cachedSidechainBus && cachedSidechainBus->isActive()) {
        sidechainActive = true;
    } else {
        if (sidechainActive) {
            ClearScratchBuffers();
            sidechainActive = false;
        }
        // The main channels the host does not give read their scratch.
        const int64_t silentEnd = static_cast<int64_t>(hostMain) + mainChannels;
        connected &= ~(PortsBelow(std::min<int64_t>(silentEnd, n)) & ~PortsBelow(hostMain));
    }
    AssignChannels(connected, 0, mainChannels, mainBus, offset, channels);
    // A sidechain the host leaves out of the data reads silence.
    const AudioBusBuffers* sidechainBus = data.numInputs > 1 ? &data.inputs[1] : nullptr;
    AssignChannels(connected, mainChannels, n, sidechainBus, offset, channels);
    // The detector sums the two sidechain ports: a mono key feeds both, as
    // the same key on both channels of a stereo bus would.
    const uint64_t keyPorts = uint64_t{3} << mainChannels;
    if (sidechainBus && sidechainBus->numChannels == 1 && n - mainChannels == 2 && (connected & keyPorts) == keyPorts)
        channels[mainChannels + 1] = channels[mainChannels];
    BindInputPorts(n, connected, channels, nFrames);
}

template <typename T>
void Vst3Plug::BindOutputs(ProcessData& data, int32_t offset)
{
    const int32_t n = std::min(OutputCount(), kMaxBoundPorts);
    // Channels the data does not cover are written to scratch, never to a
    // host buffer of an earlier block.
    uint64_t connected = 0;
    T* channels[kMaxBoundPorts];

    if (data.outputs) {
        const int32 buses = std::min<int32>(data.numOutputs, static_cast<int32>(audioOutputs.size()));
        int32_t start = 0;
        for (int32 i = 0; i < buses && start < n; ++i) {
            const AudioBusBuffers& bus = data.outputs[i];
            const int32_t count = std::min(std::max<int32>(bus.numChannels, 0), n - start);
            AudioBus* componentBus = OutputBusAt(i);
            if (componentBus && componentBus->isActive()) {
                connected |= PortsBelow(count) << start;
                for (int32_t c = 0; c < count; ++c)
                    channels[start + c] = HostChannel<T>(&bus, c, offset);
            }
            start += count;
        }
    }
    BindOutputPorts(n, connected, channels);
}

// ---- IEditController ----

tresult PLUGIN_API Vst3Plug::setComponentState(IBStream*)
{
    return kNotImplemented;
}

tresult PLUGIN_API Vst3Plug::getParamStringByValue(ParamID id, ParamValue normalized, String128 string)
{
    if (id >= static_cast<ParamID>(ParamCount()) || !string)
        return kResultFalse;
    char text[ParamRecord::kTextSize];
    ParamAt(static_cast<int32_t>(id))->FormatValue(normalized, true, text, sizeof text);
    WidenToString128(text, string);
    return kResultOk;
}

ParamValue PLUGIN_API Vst3Plug::plainParamToNormalized(ParamID id, ParamValue plain)
{
    if (id >= static_cast<ParamID>(ParamCount()))
        return plain;
    return ParamAt(static_cast<int32_t>(id))->NormalizedOf(plain);
}

ParamValue PLUGIN_API Vst3Plug::getParamNormalized(ParamID id)
{
    PumpViews();
    if (id == kBypassParamId)
        return IsBypassed() ? 1.0 : 0.0;
    if (id < static_cast<ParamID>(ParamCount()))
        return ParamAt(static_cast<int32_t>(id))->NormalizedOf();
    return 0.0;
}

tresult PLUGIN_API Vst3Plug::setParamNormalized(ParamID id, ParamValue value)
{
    PumpViews();
    // Controller and processor are one object: a value the host sets here is
    // the one the engine runs with, the editor shows and a saved state keeps,
    // with the audio running or not.
    if (id == kBypassParamId && !IsInstrument()) {
        if (value != value)
            return kResultFalse;
        std::lock_guard<std::recursive_mutex> lock(Mutex());
        SetBypassed(value > 0.5);
        return kResultOk;
    }
    if (id >= static_cast<ParamID>(ParamCount()))
        return kResultFalse;
    const int32_t idx = static_cast<int32_t>(id);
    SetParameterFromHost(idx, value);
    return kResultOk;
}

IPlugView* PLUGIN_API Vst3Plug::createView(FIDString name)
{
    if (!name || std::strcmp(name, ViewType::kEditor) != 0)
        return nullptr;
    // A second view would take the attached one's window away from it.
    if (editorOwner)
        return nullptr;
    auto* view = new Vst3EditorView(this);
    views.push_back(view);
    viewThread = std::this_thread::get_id();
    return view;
}

void Vst3Plug::PumpViews()
{
    // Hosts call these on their user-interface thread while automation
    // plays. Some also call them from other threads, which must not even
    // look at the list.
    if (std::this_thread::get_id() != viewThread)
        return;
    // By index: a host may release a view from inside what a pump sets off.
    for (size_t i = 0; i < views.size(); ++i)
        static_cast<Vst3EditorView*>(views[i])->Pump();
}

// ---- IUnitInfo ----

int32 PLUGIN_API Vst3Plug::getUnitCount()
{
    return static_cast<int32>(GroupNames().size()) + 1;
}

tresult PLUGIN_API Vst3Plug::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
    if (unitIndex == 0) {
        info.id = kRootUnitId;
        info.parentUnitId = kNoParentUnitId;
        WidenToString128("Root Unit", info.name);
        info.programListId = kNoProgramListId;
        return kResultOk;
    }
    if (unitIndex < 1 || unitIndex > static_cast<int32>(GroupNames().size()))
        return kResultFalse;
    info.id = unitIndex;
    info.parentUnitId = kRootUnitId;
    WidenToString128(GroupNames()[static_cast<size_t>(unitIndex - 1)], info.name);
    info.programListId = kNoProgramListId;
    return kResultOk;
}

int32 PLUGIN_API Vst3Plug::getProgramListCount()
{
    return 0;
}

tresult PLUGIN_API Vst3Plug::getProgramListInfo(int32 listIndex, ProgramListInfo& info)
{
    if (listIndex != 0)
        return kResultFalse;
    info.id = static_cast<ProgramListID>(kPresetParamId);
    WidenToString128("Factory Presets", info.name);
    info.programCount = PresetCount();
    return kResultOk;
}

tresult PLUGIN_API Vst3Plug::getProgramName(ProgramListID listId, int32 programIndex, String128 name)
{
    if (listId != static_cast<ProgramListID>(kPresetParamId) || !name)
        return kResultFalse;
    const PresetSlot* slot = PresetAt(programIndex);
    WidenToString128(slot ? slot->name : "", name);
    return kResultOk;
}

// ---- core operations ----

void Vst3Plug::BeginParamEdit(int32_t paramIdx)
{
    beginEdit(static_cast<ParamID>(paramIdx));
}

void Vst3Plug::PerformParamEdit(int32_t paramIdx, double normalized)
{
    performEdit(static_cast<ParamID>(paramIdx), normalized);
}

void Vst3Plug::EndParamEdit(int32_t paramIdx)
{
    endEdit(static_cast<ParamID>(paramIdx));
}

void Vst3Plug::PopupParamContextMenu(int32_t paramIdx, int32_t x, int32_t y)
{
    if (!componentHandler || views.empty())
        return;
    IComponentHandler3* handler3 = nullptr;
    if (componentHandler->queryInterface(IComponentHandler3::iid, reinterpret_cast<void**>(&handler3)) != kResultOk ||
        !handler3)
        return;
    ParamID id = static_cast<ParamID>(paramIdx);
    if (IContextMenu* menu = handler3->createContextMenu(views.front(), &id)) {
        menu->popup(x, y);
        menu->release();
    }
    handler3->release();
}

bool Vst3Plug::IsOfflineRender()
{
    return processSetup.processMode == kOffline;
}

int32_t Vst3Plug::GetHostSamplePos()
{
    return static_cast<int32_t>(static_cast<uint32_t>(hostSamplePos.load(std::memory_order_relaxed)));
}

double Vst3Plug::GetHostTempo()
{
    return hostTempo.load(std::memory_order_relaxed);
}

void Vst3Plug::GetHostTimeSig(int32_t* numerator, int32_t* denominator)
{
    if (numerator)
        *numerator = hostTimeSigNumerator.load(std::memory_order_relaxed);
    if (denominator)
        *denominator = hostTimeSigDenominator.load(std::memory_order_relaxed);
}

void Vst3Plug::GetHostTimeInfo(TransportInfo* info)
{
    if (!info)
        return;
    const uint32_t state = hostTransportState.load(std::memory_order_relaxed);
    info->tempo = hostTempo.load(std::memory_order_relaxed);
    info->samplePos = static_cast<double>(hostSamplePos.load(std::memory_order_relaxed));
    info->ppqPos = hostPpqPos.load(std::memory_order_relaxed);
    info->lastBarPos = hostBarPos.load(std::memory_order_relaxed);
    info->cycleStart = hostCycleStart.load(std::memory_order_relaxed);
    info->cycleEnd = hostCycleEnd.load(std::memory_order_relaxed);
    info->numerator = hostTimeSigNumerator.load(std::memory_order_relaxed);
    info->denominator = hostTimeSigDenominator.load(std::memory_order_relaxed);
    info->transportRunning = (state & ProcessContext::kPlaying) != 0;
    info->loopEnabled = (state & ProcessContext::kCycleActive) != 0;
}

void Vst3Plug::ResizeEditor(int32_t width, int32_t height)
{
    if (!GetEditor() || views.empty())
        return;
    auto* view = static_cast<Vst3EditorView*>(views.front());
    view->SetExpectingNewSize(true);
    if (IPlugFrame* frame = view->Frame()) {
        ViewRect r(0, 0, width, height);
        frame->resizeView(view, &r);
    }
}

void Vst3Plug::SetLatencySamples(int32_t samples)
{
    PlugCore::SetLatencySamples(samples);
    if (componentHandler)
        componentHandler->restartComponent(kLatencyChanged);
}
