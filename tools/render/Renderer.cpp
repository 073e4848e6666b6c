#include "Renderer.h"

#include "ParameterChanges.h"
#include "PluginInstance.h"
#include "VstText.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <algorithm>
#include <cmath>

using vsthost::ParameterChanges;
using vsthost::VstText;

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
const double kTempo = 120.0;

template <typename Sample>
void setChannelPointers(AudioBusBuffers& bus, Sample** pointers);

template <>
void setChannelPointers<Sample32>(AudioBusBuffers& bus, Sample32** pointers)
{
    bus.channelBuffers32 = pointers;
}

template <>
void setChannelPointers<Sample64>(AudioBusBuffers& bus, Sample64** pointers)
{
    bus.channelBuffers64 = pointers;
}

// Buffers and pointer arrays for one side (inputs or outputs) of ProcessData.
template <typename Sample>
class BusSet {
public:
    BusSet(const std::vector<PluginInstance::Bus>& buses, int blockSize)
    {
        for (const auto& bus : buses) {
            samples_.emplace_back(bus.channels, std::vector<Sample>(blockSize, Sample(0)));
            pointers_.emplace_back(bus.channels, nullptr);
        }
        buffers_.resize(buses.size());
        for (size_t b = 0; b < buses.size(); ++b) {
            for (int c = 0; c < buses[b].channels; ++c)
                pointers_[b][c] = samples_[b][c].data();
            buffers_[b].numChannels = buses[b].channels;
            buffers_[b].silenceFlags = 0;
            setChannelPointers<Sample>(buffers_[b], pointers_[b].data());
        }
    }

    AudioBusBuffers* data() { return buffers_.empty() ? nullptr : buffers_.data(); }
    int32 count() const { return static_cast<int32>(buffers_.size()); }
    int channels(size_t bus) const { return static_cast<int>(samples_[bus].size()); }
    std::vector<Sample>& channel(size_t bus, int c) { return samples_[bus][c]; }

    // Channel c of the bus from channel min(c, last) of the clip, from frame `start`;
    // silence before the clip's start (a lead-in), past its end, or without a clip.
    void fill(size_t bus, const AudioClip* clip, long start, int frames)
    {
        for (int c = 0; c < channels(bus); ++c) {
            std::vector<Sample>& out = samples_[bus][c];
            std::fill(out.begin(), out.begin() + frames, Sample(0));
            if (!clip || clip->channelCount() == 0)
                continue;
            const std::vector<double>& in = clip->channel(std::min(c, clip->channelCount() - 1));
            const long first = std::max(0L, -start);
            const long end = std::max(0L, std::min<long>(frames, clip->frameCount() - start));
            for (long i = first; i < end; ++i)
                out[i] = static_cast<Sample>(in[start + i]);
        }
    }

    void silence(int frames)
    {
        for (auto& bus : samples_)
            for (auto& channel : bus)
                std::fill(channel.begin(), channel.begin() + frames, Sample(0));
    }

    // The pointers a plug-in may not change, restored in case it did.
    void rebind()
    {
        for (size_t b = 0; b < buffers_.size(); ++b) {
            buffers_[b].numChannels = static_cast<int32>(samples_[b].size());
            setChannelPointers<Sample>(buffers_[b], pointers_[b].data());
            for (size_t c = 0; c < samples_[b].size(); ++c)
                pointers_[b][c] = samples_[b][c].data();
        }
    }

private:
    std::vector<std::vector<std::vector<Sample>>> samples_;
    std::vector<std::vector<Sample*>> pointers_;
    std::vector<AudioBusBuffers> buffers_;
};
}   // namespace

Renderer::Renderer(PluginInstance& instance, const Settings& settings) : instance_(instance), settings_(settings)
{
}

long Renderer::leadInFrames(double sampleRate) const
{
    return settings_.leadIn && sampleRate > 0 ? std::lround(sampleRate) : 0;
}

void Renderer::addInitialChange(ParamID id, ParamValue normalized)
{
    initialChanges_.push_back(Change{id, normalized});
}

void Renderer::addRamp(ParamID id, double fromPlain, double toPlain)
{
    ramps_.push_back(Ramp{id, fromPlain, toPlain});
}

bool Renderer::render(const AudioClip& input, const AudioClip* sidechain, AudioClip& output,
                      const std::function<void(double)>& progress, std::string& error)
{
    if (settings_.precision == 64)
        return run<Sample64>(input, sidechain, output, progress, error);
    return run<Sample32>(input, sidechain, output, progress, error);
}

template <typename Sample>
bool Renderer::run(const AudioClip& input, const AudioClip* sidechain, AudioClip& output,
                   const std::function<void(double)>& progress, std::string& error)
{
    IAudioProcessor* processor = instance_.processor();
    const int block = settings_.blockSize;
    const long frames = input.frameCount();
    const double rate = input.sampleRate();
    const long latency = static_cast<long>(processor->getLatencySamples());
    const long lead = leadInFrames(rate);
    const long total = lead + frames + latency;

    BusSet<Sample> inputs(instance_.inputBuses(), block);
    BusSet<Sample> outputs(instance_.outputBuses(), block);
    output = AudioClip(outputs.channels(0), frames, rate);

    ParameterChanges initial(static_cast<int>(initialChanges_.size()) + 1, 4);
    for (const Change& change : initialChanges_) {
        if (!initial.add(change.id, 0, change.value)) {
            error = "cannot queue the parameter change for ID " + std::to_string(change.id);
            return false;
        }
    }
    ParameterChanges moving(static_cast<int>(ramps_.size()) + 1, 1);
    ParameterChanges none(1, 1);
    ParameterChanges fromPlugin(64, 64);

    ProcessContext context{};
    context.sampleRate = rate;
    context.tempo = kTempo;
    context.timeSigNumerator = 4;
    context.timeSigDenominator = 4;
    context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kTimeSigValid |
        ProcessContext::kProjectTimeMusicValid | ProcessContext::kBarPositionValid | ProcessContext::kContTimeValid;

    ProcessData data;
    data.processMode = kOffline;
    data.symbolicSampleSize = sizeof(Sample) == sizeof(Sample64) ? kSample64 : kSample32;
    data.numInputs = inputs.count();
    data.inputs = inputs.data();
    data.numOutputs = outputs.count();
    data.outputs = outputs.data();
    data.outputParameterChanges = &fromPlugin;
    data.processContext = &context;

    const int sidechainBus = instance_.sidechainBus();
    for (long position = 0; position < total; position += block) {
        const int n = static_cast<int>(std::min<long>(block, total - position));
        for (int b = 0; b < inputs.count(); ++b) {
            const AudioClip* source = nullptr;
            if (b == 0)
                source = &input;
            else if (b == sidechainBus)
                source = sidechain;
            inputs.fill(static_cast<size_t>(b), source, position - lead, n);
        }
        outputs.silence(n);
        inputs.rebind();
        outputs.rebind();
        fromPlugin.clear();

        const double quarters = position / rate * kTempo / 60.0;
        context.projectTimeSamples = position;
        context.continousTimeSamples = position;
        context.projectTimeMusic = quarters;
        context.barPositionMusic = std::floor(quarters / 4.0) * 4.0;

        data.numSamples = n;
        data.inputParameterChanges = position == 0 ? &initial : &none;
        // The block's first sample of the input; the first of all is the ramps' start, sent already.
        const long firstInput = std::max(position, lead);
        if (!ramps_.empty() && position > 0 && firstInput < position + n && firstInput - lead < frames) {
            const double along =
                frames > 1 ? static_cast<double>(firstInput - lead) / static_cast<double>(frames - 1) : 1.0;
            moving.clear();
            for (const Ramp& ramp : ramps_) {
                const double plain = ramp.from + (ramp.to - ramp.from) * along;
                if (!moving.add(ramp.id, static_cast<int32>(firstInput - position),
                                instance_.controller()->plainParamToNormalized(ramp.id, plain))) {
                    error = "cannot queue the automation point for ID " + std::to_string(ramp.id);
                    return false;
                }
            }
            data.inputParameterChanges = &moving;
        }
        const tresult result = processor->process(data);
        if (result != kResultOk) {
            error = "the plug-in's process failed at sample " + std::to_string(position) + " (" +
                VstText::resultName(result) + ")";
            return false;
        }

        for (int c = 0; c < output.channelCount(); ++c) {
            const std::vector<Sample>& out = outputs.channel(0, c);
            for (int i = 0; i < n; ++i) {
                const long at = position + i - lead - latency;
                if (at >= 0 && at < frames)
                    output.channel(c)[at] = static_cast<double>(out[i]);
            }
        }
        if (progress)
            progress(static_cast<double>(position + n) / static_cast<double>(total));
    }
    return true;
}
