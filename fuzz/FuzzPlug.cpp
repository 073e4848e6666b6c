#include "FuzzPlug.h"

#include "host/ByteStream.h"

#include <cmath>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

FuzzPlug::FuzzPlug(int32 sampleSize_, int32 maxBlock, double sampleRate) : plug(new Tidepull()), sampleSize(sampleSize_)
{
    plug->initialize(nullptr);
    plug->activateBus(kAudio, kInput, 0, true);
    plug->activateBus(kAudio, kInput, 1, true);
    plug->activateBus(kAudio, kOutput, 0, true);
    ProcessSetup setup{kRealtime, sampleSize, maxBlock, sampleRate};
    plug->setupProcessing(setup);
    plug->setActive(true);
    plug->setProcessing(true);
    for (int i = 0; i < kParams; ++i) {
        lo[i] = plug->ParamAt(i)->Min();
        hi[i] = plug->ParamAt(i)->Max();
    }
}

FuzzPlug::~FuzzPlug()
{
    plug->setProcessing(false);
    plug->setActive(false);
    plug->terminate();
    plug->release();
}

std::vector<uint8_t> FuzzPlug::SaveState()
{
    vsthost::ByteStream stream;
    if (plug->getState(&stream) != kResultOk)
        return {};
    return stream.bytes();
}

tresult FuzzPlug::LoadState(const std::vector<uint8_t>& bytes)
{
    vsthost::ByteStream stream(bytes);
    return plug->setState(&stream);
}

bool FuzzPlug::StateIsSane()
{
    const std::vector<uint8_t> blob = SaveState();
    if (blob.size() != 8u * kParams + 4u)
        return false;
    for (int i = 0; i < kParams; ++i) {
        double v;
        std::memcpy(&v, blob.data() + 8 * i, sizeof v);
        if (!std::isfinite(v) || v < lo[i] || v > hi[i])
            return false;
    }
    const uint32_t word = static_cast<uint32_t>(blob[8 * kParams]) |
        (static_cast<uint32_t>(blob[8 * kParams + 1]) << 8) | (static_cast<uint32_t>(blob[8 * kParams + 2]) << 16) |
        (static_cast<uint32_t>(blob[8 * kParams + 3]) << 24);
    return word <= 1;
}

bool FuzzPlug::ProcessTone(int32 frames)
{
    const bool is64 = sampleSize == kSample64;
    std::vector<float> f(static_cast<size_t>(frames) * 6);
    std::vector<double> d(static_cast<size_t>(frames) * 6);
    for (int32 i = 0; i < frames * 4; ++i) {
        const double v = 0.8 * std::sin(0.05 * i);
        f[static_cast<size_t>(i)] = static_cast<float>(v);
        d[static_cast<size_t>(i)] = v;
    }
    float* p32[6];
    double* p64[6];
    for (int ch = 0; ch < 6; ++ch) {
        p32[ch] = f.data() + static_cast<size_t>(ch) * static_cast<size_t>(frames);
        p64[ch] = d.data() + static_cast<size_t>(ch) * static_cast<size_t>(frames);
    }
    AudioBusBuffers in[2] = {};
    AudioBusBuffers out = {};
    in[0].numChannels = in[1].numChannels = out.numChannels = 2;
    if (is64) {
        in[0].channelBuffers64 = p64;
        in[1].channelBuffers64 = p64 + 2;
        out.channelBuffers64 = p64 + 4;
    } else {
        in[0].channelBuffers32 = p32;
        in[1].channelBuffers32 = p32 + 2;
        out.channelBuffers32 = p32 + 4;
    }
    ProcessData data;
    data.symbolicSampleSize = sampleSize;
    data.numSamples = frames;
    data.numInputs = 2;
    data.numOutputs = 1;
    data.inputs = in;
    data.outputs = &out;
    plug->process(data);
    for (size_t i = static_cast<size_t>(frames) * 4; i < static_cast<size_t>(frames) * 6; ++i)
        if (!std::isfinite(is64 ? d[i] : f[i]))
            return false;
    return true;
}
