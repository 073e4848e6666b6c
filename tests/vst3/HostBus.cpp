#include "HostBus.h"

HostBus::HostBus(int channels, int frames_, bool is64_) : frames(frames_), is64(is64_)
{
    const size_t length = static_cast<size_t>(frames + 2 * kGuard);
    for (int ch = 0; ch < channels; ++ch) {
        if (is64) {
            store64.emplace_back(length, kGuardValue);
            ptr64.push_back(store64.back().data() + kGuard);
        } else {
            store32.emplace_back(length, static_cast<float>(kGuardValue));
            ptr32.push_back(store32.back().data() + kGuard);
        }
    }
    for (int ch = 0; ch < channels; ++ch)
        for (int i = 0; i < frames; ++i)
            Set(ch, i, 0.0);
    buffers.numChannels = channels;
    buffers.silenceFlags = 0;
    if (is64)
        buffers.channelBuffers64 = ptr64.data();
    else
        buffers.channelBuffers32 = ptr32.data();
}

double HostBus::Get(int ch, int i) const
{
    return is64 ? ptr64[static_cast<size_t>(ch)][i] : static_cast<double>(ptr32[static_cast<size_t>(ch)][i]);
}

void HostBus::Set(int ch, int i, double v)
{
    if (is64)
        ptr64[static_cast<size_t>(ch)][i] = v;
    else
        ptr32[static_cast<size_t>(ch)][i] = static_cast<float>(v);
}

void HostBus::Fill(double v)
{
    for (int ch = 0; ch < buffers.numChannels; ++ch)
        for (int i = 0; i < frames; ++i)
            Set(ch, i, v);
}

void HostBus::Load(const StereoSignal& signal, size_t start)
{
    for (int ch = 0; ch < buffers.numChannels; ++ch)
        for (int i = 0; i < frames; ++i)
            Set(ch, i, ch < 2 ? signal.Channel(ch)[start + static_cast<size_t>(i)] : 0.0);
}

void HostBus::Store(StereoSignal& signal, size_t start) const
{
    for (int ch = 0; ch < buffers.numChannels && ch < 2; ++ch)
        for (int i = 0; i < frames; ++i)
            signal.Channel(ch)[start + static_cast<size_t>(i)] = Get(ch, i);
}

void HostBus::ShareChannelsOf(HostBus& other)
{
    if (is64)
        buffers.channelBuffers64 = other.buffers.channelBuffers64;
    else
        buffers.channelBuffers32 = other.buffers.channelBuffers32;
}

bool HostBus::GuardsIntact() const
{
    const size_t length = static_cast<size_t>(frames + 2 * kGuard);
    auto guardOk = [&](size_t i, double v) {
        const bool inGuard = i < static_cast<size_t>(kGuard) || i >= length - kGuard;
        return !inGuard || v == kGuardValue;
    };
    for (const auto& channel : store64)
        for (size_t i = 0; i < length; ++i)
            if (!guardOk(i, channel[i]))
                return false;
    for (const auto& channel : store32)
        for (size_t i = 0; i < length; ++i)
            if (!guardOk(i, static_cast<double>(channel[i])))
                return false;
    return true;
}
