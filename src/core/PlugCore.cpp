#include "core/PlugCore.h"

#include "core/FixedText.h"
#include "core/NonFinite.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Four at a time: in that shape the compiler converts the samples in vector
// registers, where one at a time it would not. The bits are the same.
template <class From, class To>
void ConvertSamples(const From* src, To* dst, size_t n)
{
    size_t s = 0;
    for (; s + 4 <= n; s += 4) {
        To four[4];
        for (size_t k = 0; k < 4; ++k)
            four[k] = static_cast<To>(src[s + k]);
        std::memcpy(dst + s, four, sizeof four);
    }
    for (; s < n; ++s)
        dst[s] = static_cast<To>(src[s]);
}

template <typename T>
void EmptyLastFirst(std::vector<T>& list)
{
    while (!list.empty())
        list.pop_back();
}

}   // namespace

PlugCore::PlugCore(int32_t nParams, const char* channelIOString, int32_t nPresets, const char* effectName_,
                   const char* productName_, const char* makerName_, int32_t version_, int32_t uniqueId_,
                   int32_t makerId_, int32_t apiCode_)
    : uniqueId(uniqueId_),
      makerId(makerId_),
      version(version_),
      apiCode(apiCode_)
{
    for (int32_t i = 0; i < nParams; ++i)
        params.push_back(std::make_unique<ParamRecord>());
    for (int32_t i = 0; i < nPresets; ++i)
        presets.push_back(std::make_unique<PresetSlot>());

    CopyFixedText(effectName, effectName_);
    CopyFixedText(productName, productName_);
    CopyFixedText(makerName, makerName_);

    int32_t maxIn = 0;
    int32_t maxOut = 0;
    for (const char* p = channelIOString; p;) {
        auto config = std::make_unique<ChannelConfig>();
        std::sscanf(p, "%d-%d", &config->inputs, &config->outputs);
        maxIn = std::max(maxIn, config->inputs);
        maxOut = std::max(maxOut, config->outputs);
        channelConfigs.push_back(std::move(config));
        p = std::strchr(p, ' ');
        if (p)
            ++p;
    }

    inputPtrs.assign(static_cast<size_t>(maxIn), nullptr);
    outputPtrs.assign(static_cast<size_t>(maxOut), nullptr);
    for (int32_t i = 0; i < maxIn; ++i) {
        auto port = std::make_unique<InputPort>();
        port->sourceSlot = &inputPtrs[static_cast<size_t>(i)];
        inputPorts.push_back(std::move(port));
    }
    for (int32_t i = 0; i < maxOut; ++i) {
        auto port = std::make_unique<OutputPort>();
        port->destSlot = &outputPtrs[static_cast<size_t>(i)];
        outputPorts.push_back(std::move(port));
    }
}

PlugCore::~PlugCore()
{
    editor.reset();
    EmptyLastFirst(params);
    EmptyLastFirst(presets);
    EmptyLastFirst(inputPorts);
    EmptyLastFirst(outputPorts);
    EmptyLastFirst(channelConfigs);
    EmptyLastFirst(inputBusNames);
    EmptyLastFirst(outputBusNames);
    latencyDelay.reset();
    inputPtrs.clear();
    outputPtrs.clear();
    groupNames.clear();
}

void PlugCore::OnReset()
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
}

void PlugCore::ParamChanged(int32_t /*paramIdx*/)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
}

void PlugCore::ActivationChanged(bool /*active*/)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
}

void PlugCore::ProcessBlock(double** inputs, double** outputs, int32_t nFrames)
{
    if (nFrames <= 0)
        return;
    const int32_t nIn = InputCount();
    const size_t bytes = static_cast<size_t>(nFrames) * sizeof(double);
    for (int32_t i = 0; i < OutputCount(); ++i) {
        if (i < nIn && inputsUnchecked) {
            NonFinite::Scrub(inputs[i], static_cast<size_t>(nFrames), outputs[i]);
        } else if (i < nIn) {
            if (outputs[i] != inputs[i])
                std::memmove(outputs[i], inputs[i], bytes);
        } else {
            std::memset(outputs[i], 0, bytes);
        }
    }
}

bool PlugCore::LegalIO(int32_t nIn, int32_t nOut) const
{
    for (const auto& config : channelConfigs) {
        if ((nIn < 0 || nIn == config->inputs) && (nOut < 0 || nOut == config->outputs))
            return true;
    }
    return false;
}

void PlugCore::PortRange(int32_t idx, int32_t n, int32_t count, int32_t* begin, int32_t* end) const
{
    *begin = std::max(idx, 0);
    const int64_t last = static_cast<int64_t>(idx) + std::max(n, 0);
    *end = static_cast<int32_t>(std::min<int64_t>(last, count));
}

void PlugCore::MarkChannelsConnected(PortDirection dir, int32_t idx, int32_t n, bool connected)
{
    int32_t begin, end;
    if (dir == PortDirection::kInputs) {
        PortRange(idx, n, InputCount(), &begin, &end);
        for (int32_t i = begin; i < end; ++i) {
            InputPort& port = *inputPorts[static_cast<size_t>(i)];
            port.connected = connected;
            if (!connected)
                ReadSilence(port);
        }
    } else {
        PortRange(idx, n, OutputCount(), &begin, &end);
        for (int32_t i = begin; i < end; ++i) {
            OutputPort& port = *outputPorts[static_cast<size_t>(i)];
            port.connected = connected;
            if (!connected) {
                *port.destSlot = port.scratch.data();
                port.dest32 = nullptr;
            }
        }
    }
}

void PlugCore::BindInputBuffers(int32_t idx, int32_t n, float** hostBuffers, int32_t nFrames)
{
    int32_t begin, end;
    PortRange(idx, n, InputCount(), &begin, &end);
    int32_t cursor = 0;
    for (int32_t i = begin; i < end; ++i) {
        InputPort& port = *inputPorts[static_cast<size_t>(i)];
        if (!port.connected)
            continue;
        const float* src = hostBuffers ? hostBuffers[cursor] : nullptr;
        ++cursor;
        ConvertInto(port, src, nFrames);
    }
}

void PlugCore::BindInputBuffers(int32_t idx, int32_t n, double** hostBuffers, int32_t nFrames)
{
    int32_t begin, end;
    PortRange(idx, n, InputCount(), &begin, &end);
    int32_t cursor = 0;
    for (int32_t i = begin; i < end; ++i) {
        InputPort& port = *inputPorts[static_cast<size_t>(i)];
        if (!port.connected)
            continue;
        double* src = hostBuffers ? hostBuffers[cursor] : nullptr;
        ++cursor;
        PointAt(port, src, nFrames);
    }
}

void PlugCore::BindOutputBuffers(int32_t idx, int32_t n, float** hostBuffers)
{
    int32_t begin, end;
    PortRange(idx, n, OutputCount(), &begin, &end);
    int32_t cursor = 0;
    for (int32_t i = begin; i < end; ++i) {
        OutputPort& port = *outputPorts[static_cast<size_t>(i)];
        if (!port.connected)
            continue;
        *port.destSlot = port.scratch.data();
        port.dest32 = hostBuffers ? hostBuffers[cursor] : nullptr;
        ++cursor;
    }
}

void PlugCore::BindOutputBuffers(int32_t idx, int32_t n, double** hostBuffers)
{
    int32_t begin, end;
    PortRange(idx, n, OutputCount(), &begin, &end);
    int32_t cursor = 0;
    for (int32_t i = begin; i < end; ++i) {
        OutputPort& port = *outputPorts[static_cast<size_t>(i)];
        if (!port.connected)
            continue;
        double* dst = hostBuffers ? hostBuffers[cursor] : nullptr;
        ++cursor;
        // A missing host channel is written to scratch and dropped.
        *port.destSlot = dst ? dst : port.scratch.data();
        port.dest32 = nullptr;
    }
}

void PlugCore::BindInputPorts(int32_t n, uint64_t connected, float* const* channels, int32_t nFrames)
{
    const int32_t end = std::min({n, InputCount(), kMaxBoundPorts});
    inputsUnchecked = false;
    for (int32_t i = 0; i < end; ++i) {
        InputPort& port = *inputPorts[static_cast<size_t>(i)];
        port.connected = ((connected >> i) & 1u) != 0;
        if (port.connected)
            ConvertInto(port, channels[i], nFrames);
        else
            ReadSilence(port);
    }
}

void PlugCore::BindInputPorts(int32_t n, uint64_t connected, double* const* channels, int32_t nFrames)
{
    const int32_t end = std::min({n, InputCount(), kMaxBoundPorts});
    inputsUnchecked = false;
    for (int32_t i = 0; i < end; ++i) {
        InputPort& port = *inputPorts[static_cast<size_t>(i)];
        port.connected = ((connected >> i) & 1u) != 0;
        if (port.connected)
            PointAt(port, channels[i], nFrames);
        else
            ReadSilence(port);
    }
}

void PlugCore::ConvertInto(InputPort& port, const float* src, int32_t nFrames)
{
    // Never convert past the scratch buffer, whatever the host claims.
    const size_t count = std::min(static_cast<size_t>(std::max(nFrames, 0)), port.scratch.size());
    if (src) {
        ConvertSamples(src, port.scratch.data(), count);
        if (NonFinite::Any(src, count))
            NonFinite::Scrub(port.scratch.data(), count, port.scratch.data());
        port.scratchHoldsAudio = true;
    } else {
        std::fill_n(port.scratch.begin(), count, 0.0);   // a missing host channel reads silence
    }
    *port.sourceSlot = port.scratch.data();
}

void PlugCore::PointAt(InputPort& port, double* src, int32_t nFrames)
{
    if (!src) {
        const size_t count = std::min(static_cast<size_t>(std::max(nFrames, 0)), port.scratch.size());
        std::fill_n(port.scratch.begin(), count, 0.0);
        *port.sourceSlot = port.scratch.data();
        return;
    }
    // The host's buffer is read in place. Whatever reads it checks it for
    // samples that are not finite as it goes: a pass of its own here would
    // be one more trip through memory the chain is about to read anyway.
    *port.sourceSlot = src;
    inputsUnchecked = true;
}

void PlugCore::ReadSilence(InputPort& port)
{
    if (port.scratchHoldsAudio) {
        std::fill(port.scratch.begin(), port.scratch.end(), 0.0);
        port.scratchHoldsAudio = false;
    }
    *port.sourceSlot = port.scratch.data();
}

void PlugCore::BindOutputPorts(int32_t n, uint64_t connected, float* const* channels)
{
    const int32_t end = std::min({n, OutputCount(), kMaxBoundPorts});
    for (int32_t i = 0; i < end; ++i) {
        OutputPort& port = *outputPorts[static_cast<size_t>(i)];
        port.connected = ((connected >> i) & 1u) != 0;
        *port.destSlot = port.scratch.data();
        port.dest32 = port.connected ? channels[i] : nullptr;
    }
}

void PlugCore::BindOutputPorts(int32_t n, uint64_t connected, double* const* channels)
{
    const int32_t end = std::min({n, OutputCount(), kMaxBoundPorts});
    for (int32_t i = 0; i < end; ++i) {
        OutputPort& port = *outputPorts[static_cast<size_t>(i)];
        port.connected = ((connected >> i) & 1u) != 0;
        double* dst = port.connected ? channels[i] : nullptr;
        *port.destSlot = dst ? dst : port.scratch.data();
        port.dest32 = nullptr;
    }
}

void PlugCore::ConvertOutputsTo32(int32_t nFrames)
{
    for (const auto& port : outputPorts) {
        if (!port->connected || !port->dest32 || !*port->destSlot)
            continue;
        ConvertSamples(*port->destSlot, port->dest32, static_cast<size_t>(std::max(nFrames, 0)));
    }
}

void PlugCore::ClearScratchBuffers()
{
    for (const auto& port : inputPorts) {
        std::fill(port->scratch.begin(), port->scratch.end(), 0.0);
        port->scratchHoldsAudio = false;
    }
    for (const auto& port : outputPorts)
        std::fill(port->scratch.begin(), port->scratch.end(), 0.0);
}

void PlugCore::PassThroughBlock(int32_t nFrames, int32_t from)
{
    double** in = inputPtrs.data();
    double** out = outputPtrs.data();
    double* movedIn[kMaxBoundPorts];
    double* movedOut[kMaxBoundPorts];
    if (from > 0) {
        for (int32_t i = 0; i < InputCount() && i < kMaxBoundPorts; ++i)
            movedIn[i] = in[i] + from;
        for (int32_t i = 0; i < OutputCount() && i < kMaxBoundPorts; ++i)
            movedOut[i] = out[i] + from;
        in = movedIn;
        out = movedOut;
    }
    if (latency > 0 && latencyDelay)
        latencyDelay->Process(in, out, nFrames);
    else
        PlugCore::ProcessBlock(in, out, nFrames);
}

void PlugCore::SetMaxBlockSize(int32_t n)
{
    if (n < 0)
        n = 0;
    if (n == maxBlockSize)
        return;
    for (const auto& port : inputPorts) {
        port->scratch.assign(static_cast<size_t>(n), 0.0);
        port->scratchHoldsAudio = false;
        if (!port->connected)
            *port->sourceSlot = port->scratch.data();
    }
    for (const auto& port : outputPorts) {
        port->scratch.assign(static_cast<size_t>(n), 0.0);
        if (!port->connected)
            *port->destSlot = port->scratch.data();
    }
    maxBlockSize = n;
}

void PlugCore::SetLatencySamples(int32_t samples)
{
    latency = samples;
    if (latencyDelay)
        latencyDelay->SetDelay(samples);
}

void PlugCore::CreateLatencyDelay()
{
    if (InputCount() > 0)
        latencyDelay = std::make_unique<LatencyDelay>(InputCount(), OutputCount(), latency);
}

void PlugCore::SetParameterFromEditor(int32_t paramIdx, double normalized)
{
    ParamRecord* param = ParamAt(paramIdx);
    if (!param)
        return;
    std::lock_guard<std::recursive_mutex> lock(mutex);
    param->SetFromNormalized(normalized);
    PerformParamEdit(paramIdx, normalized);
    ParamChanged(paramIdx);
}

void PlugCore::SetParameterFromHost(int32_t paramIdx, double normalized)
{
    ParamRecord* param = ParamAt(paramIdx);
    if (!param)
        return;
    std::lock_guard<std::recursive_mutex> lock(mutex);
    param->SetFromNormalized(normalized);
    if (editor)
        editor->PushParamToControls(paramIdx, param->NormalizedOf(), true);
    ParamChanged(paramIdx);
}

void PlugCore::AttachEditor(EditorLink* newEditor)
{
    if (!newEditor)
        return;
    std::lock_guard<std::recursive_mutex> lock(mutex);
    for (int32_t i = 0; i < ParamCount(); ++i)
        newEditor->PushParamToControls(i, params[static_cast<size_t>(i)]->NormalizedOf(), true);
    newEditor->PrepareSurfaces();
    editor.reset(newEditor);
}

void PlugCore::RefreshEditorControls()
{
    if (!editor)
        return;
    for (int32_t i = 0; i < ParamCount(); ++i)
        editor->PushParamToControls(i, params[static_cast<size_t>(i)]->Value(), false);
}

void PlugCore::SetInputBusName(int32_t idx, const char* name)
{
    if (idx < 0)
        return;
    if (static_cast<size_t>(idx) >= inputBusNames.size())
        inputBusNames.resize(static_cast<size_t>(idx) + 1);
    inputBusNames[static_cast<size_t>(idx)] = name ? name : "";
}

void PlugCore::SetOutputBusName(int32_t idx, const char* name)
{
    if (idx < 0)
        return;
    if (static_cast<size_t>(idx) >= outputBusNames.size())
        outputBusNames.resize(static_cast<size_t>(idx) + 1);
    outputBusNames[static_cast<size_t>(idx)] = name ? name : "";
}

const char* PlugCore::InputBusName(int32_t idx) const
{
    if (idx < 0 || static_cast<size_t>(idx) >= inputBusNames.size())
        return "";
    return inputBusNames[static_cast<size_t>(idx)].c_str();
}

const char* PlugCore::OutputBusName(int32_t idx) const
{
    if (idx < 0 || static_cast<size_t>(idx) >= outputBusNames.size())
        return "";
    return outputBusNames[static_cast<size_t>(idx)].c_str();
}

const PresetSlot* PlugCore::PresetAt(int32_t idx) const
{
    if (idx < 0 || idx >= PresetCount())
        return nullptr;
    return presets[static_cast<size_t>(idx)].get();
}

// ---- state ----

bool PlugCore::SerializeParams(StateChunk& chunk)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    bool ok = true;
    for (size_t i = 0; i < params.size() && ok; ++i)
        ok = chunk.PutDouble(params[i]->Value()) > 0;
    return ok;
}

int32_t PlugCore::UnserializeParams(const StateChunk& chunk, int32_t startPos)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    int32_t pos = startPos;
    for (size_t i = 0; i < params.size() && pos >= 0; ++i) {
        double v = 0.0;
        pos = chunk.GetDouble(&v, pos);
        params[i]->SetValue(v);
    }
    for (int32_t i = 0; i < ParamCount(); ++i)
        ParamChanged(i);
    return pos;
}

bool PlugCore::SaveState(ByteStream& stream)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    StateChunk chunk;
    if (!SerializeParams(chunk))
        return false;
    // A host stream that took less than all of it holds no state we could
    // load again: that is a failed save, not a short one.
    auto writeAll = [&stream](const void* bytes, int32_t n) {
        int32_t done = 0;
        return stream.Write(bytes, n, &done) && done == n;
    };
    if (chunk.Size() > 0 && !writeAll(chunk.Bytes(), chunk.Size()))
        return false;
    const uint32_t word = IsBypassed() ? 1u : 0u;
    const uint8_t le[4] = {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8),
                           static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 24)};
    return writeAll(le, 4);
}

bool PlugCore::LoadState(ByteStream& stream)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    // Read over the current values: a short stream leaves the parameters
    // beyond the delivered bytes as they are.
    StateChunk chunk;
    SerializeParams(chunk);
    if (chunk.Size() == 0)
        return false;
    int32_t done = 0;
    stream.Read(chunk.Bytes(), chunk.Size(), &done);
    UnserializeParams(chunk, 0);

    uint8_t le[4] = {0, 0, 0, 0};
    if (!stream.Read(le, 4, &done))
        return false;
    const uint32_t word = static_cast<uint32_t>(le[0]) | (static_cast<uint32_t>(le[1]) << 8) |
        (static_cast<uint32_t>(le[2]) << 16) | (static_cast<uint32_t>(le[3]) << 24);
    SetBypassed(word != 0);
    RefreshEditorControls();
    return true;
}

bool PlugCore::SelectPreset(int32_t idx)
{
    if (idx < 0 || idx >= PresetCount())
        return false;
    PresetSlot& slot = *presets[static_cast<size_t>(idx)];
    bool result;
    if (!slot.initialised) {
        slot.initialised = true;
        int32_t count = 0;
        for (const auto& other : presets) {
            if (std::strstr(other->name, "user preset"))
                ++count;
        }
        std::snprintf(slot.name, sizeof slot.name, "%s %d", "user preset", count + 1);
        result = SerializeParams(slot.chunk);
    } else {
        result = UnserializeParams(slot.chunk, 0) > 0;
    }
    if (result) {
        currentPreset = idx;
        PresetRestored();
        RefreshEditorControls();
    }
    return result;
}

void PlugCore::CaptureDefaultPresets(const char* name, int32_t n)
{
    for (int32_t k = 0; k < n; ++k) {
        PresetSlot* slot = nullptr;
        for (const auto& candidate : presets) {
            if (!candidate->initialised) {
                slot = candidate.get();
                break;
            }
        }
        if (!slot)
            return;
        slot->initialised = true;
        CopyFixedText(slot->name, name);
        SerializeParams(slot->chunk);
    }
}
