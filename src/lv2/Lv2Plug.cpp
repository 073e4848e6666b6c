#include "lv2/Lv2Plug.h"

#include "core/DenormalGuard.h"
#include "dsp/portableMath.h"
#include "dsp/stageFilter.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

constexpr int32_t kApiLv2 = 2;

// dB of gain reduction per unit of natural log of the gain: -20 / ln 10.
constexpr double kDbPerLog = -8.685889638065037;

}   // namespace

Lv2Plug::Lv2Plug(int32_t nParams, const char* channelIOString, int32_t nPresets, const char* effectName,
                 const char* productName, const char* makerName, int32_t version, int32_t uniqueId, int32_t makerId)
    : PlugCore(nParams, channelIOString, nPresets, effectName, productName, makerName, version, uniqueId, makerId,
               kApiLv2)
{
    MarkChannelsConnected(PortDirection::kInputs, 0, InputCount(), true);
    MarkChannelsConnected(PortDirection::kOutputs, 0, OutputCount(), true);
    CreateLatencyDelay();
    sidechainChannels = std::min(sidechainChannels, InputCount());
    audio.assign(static_cast<size_t>(InputCount() + OutputCount()), nullptr);
    controls.assign(static_cast<size_t>(ParamCount() + 1), nullptr);
    applied.assign(controls.size(), 0.0f);
}

bool Lv2Plug::Start(double sampleRate)
{
    if (!(sampleRate >= stageFilter::kMinSampleRate) || !(sampleRate < 1e7))
        return false;
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    HostReady();
    SelectPreset(0);
    SetSampleRate(sampleRate);
    SetMaxBlockSize(kPieceFrames);
    OnReset();
    for (int32_t i = 0; i < ParamCount(); ++i)
        applied[static_cast<size_t>(i)] = static_cast<float>(ParamAt(i)->Value());
    applied.back() = 1.0f;
    return true;
}

void Lv2Plug::Activate()
{
    {
        std::lock_guard<std::recursive_mutex> lock(Mutex());
        hostBypass.Restart();
    }
    ActivationChanged(true);
}

void Lv2Plug::ConnectPort(uint32_t port, void* data)
{
    // Hosts connect audio ports before every run(), from the audio thread:
    // nothing but the pointer is touched.
    const auto p = static_cast<int32_t>(std::min<uint32_t>(port, INT32_MAX));
    if (p < FirstParamPort())
        audio[static_cast<size_t>(p)] = static_cast<float*>(data);
    else if (p <= EnabledPort())
        controls[static_cast<size_t>(p - FirstParamPort())] = static_cast<const float*>(data);
    else if (p == ReductionPort())
        reduction = static_cast<float*>(data);
}

void Lv2Plug::ApplyControls()
{
    // A port that changed applies at the start of the run() it comes with,
    // as a VST 3 host's point at that sample, and through the same value: a
    // host's plain value goes through the normalised one, so both formats
    // run on the same bits. A NaN or an unconnected port changes nothing.
    for (int32_t i = 0; i < ParamCount(); ++i) {
        const float* port = controls[static_cast<size_t>(i)];
        float& last = applied[static_cast<size_t>(i)];
        if (!port || *port != *port || std::memcmp(port, &last, sizeof last) == 0)
            continue;
        last = *port;
        SetParameterFromHost(i, ParamAt(i)->NormalizedOf(last));
    }
    const float* enabled = controls.back();
    if (enabled && *enabled == *enabled)
        SetBypassed(!(*enabled > 0.5f));
}

void Lv2Plug::Run(uint32_t nFrames)
{
    // Subnormals off for this call only; the host's mode comes back on return.
    DenormalGuard denormals;
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    ApplyControls();
    // run(0) still runs once, as hosts use it to flush the controls.
    if (nFrames == 0)
        RunPiece(0, 0);
    for (uint32_t offset = 0; offset < nFrames;) {
        const int32_t n = static_cast<int32_t>(std::min<uint32_t>(nFrames - offset, kPieceFrames));
        RunPiece(offset, n);
        offset += static_cast<uint32_t>(n);
    }
    WriteReduction();
}

void Lv2Plug::RunPiece(uint32_t offset, int32_t nFrames)
{
    // An input port left unconnected reads silence, an output one writes to
    // scratch. Inputs are copied before any output is written, so a host may
    // hand the same buffer for both.
    const int32_t nIn = std::min(InputCount(), kMaxBoundPorts);
    const int32_t nOut = std::min(OutputCount(), kMaxBoundPorts);
    float* channels[kMaxBoundPorts];
    for (int32_t i = 0; i < nIn; ++i)
        channels[i] = audio[static_cast<size_t>(i)] ? audio[static_cast<size_t>(i)] + offset : nullptr;
    // The detector sums the two sidechain ports: a key on the first alone is
    // a mono key and feeds both, as in the VST 3 build's mono sidechain bus.
    const auto firstKey = static_cast<size_t>(nIn - sidechainChannels);
    if (sidechainChannels == 2 && audio[firstKey] && !audio[firstKey + 1])
        channels[firstKey + 1] = audio[firstKey] + offset;
    BindInputPorts(nIn, ReadsSidechain() ? PortsBelow(nIn) : PortsBelow(nIn - sidechainChannels), channels, nFrames);
    uint64_t connected = 0;
    for (int32_t i = 0; i < nOut; ++i) {
        float* out = audio[static_cast<size_t>(FirstOutputPort() + i)];
        channels[i] = out ? out + offset : nullptr;
        connected |= out ? uint64_t{1} << i : 0;
    }
    BindOutputPorts(nOut, connected, channels);
    hostBypass.Run(*this, nFrames, !IsBypassed());
    ConvertOutputsTo32(nFrames);
}

double Lv2Plug::ReductionDb(double share)
{
    if (!(share > 0.0))
        return 0.0;
    if (!(share < 1.0))
        return kMaxReductionDb;
    return std::min(kDbPerLog * portableMath::log(1.0 - share), kMaxReductionDb);
}

double Lv2Plug::ReductionShare(double db)
{
    if (!(db > 0.0))
        return 0.0;
    if (!(db < kMaxReductionDb))
        return 1.0;
    return 1.0 - portableMath::exp(db / kDbPerLog);
}

void Lv2Plug::WriteReduction()
{
    if (reduction)
        *reduction = static_cast<float>(ReductionDb(MeterReduction()));
}

void Lv2Plug::GetHostTimeSig(int32_t* numerator, int32_t* denominator)
{
    if (numerator)
        *numerator = 0;
    if (denominator)
        *denominator = 0;
}

void Lv2Plug::GetHostTimeInfo(TransportInfo* info)
{
    if (info)
        *info = TransportInfo{};
}
