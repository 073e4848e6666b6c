#include "HostBlock.h"

using namespace Steinberg::Vst;

HostBlock::HostBlock(int32_t maxFrames)
{
    for (int c = 0; c < kChannels; ++c) {
        buffers64[c].assign(static_cast<size_t>(maxFrames), 0.0);
        buffers32[c].assign(static_cast<size_t>(maxFrames), 0.0f);
        ptr64[c] = buffers64[c].data();
        ptr32[c] = buffers32[c].data();
    }
}

void HostBlock::Load(const Signal& sig, size_t start, int32_t n)
{
    const std::vector<double>* from[4] = {&sig.l, &sig.r, &sig.scL, &sig.scR};
    for (int c = 0; c < 4; ++c) {
        for (int32_t i = 0; i < n; ++i) {
            const double v = (*from[c])[start + static_cast<size_t>(i)];
            buffers64[c][static_cast<size_t>(i)] = v;
            buffers32[c][static_cast<size_t>(i)] = static_cast<float>(v);
        }
    }
}

ProcessData& HostBlock::Data(bool is64_, int32_t n, bool withSidechain, IParameterChanges* changes)
{
    is64 = is64_;
    for (int bus = 0; bus < 2; ++bus) {
        inputs[bus] = {};
        inputs[bus].numChannels = 2;
        if (is64)
            inputs[bus].channelBuffers64 = ptr64 + 2 * bus;
        else
            inputs[bus].channelBuffers32 = ptr32 + 2 * bus;
    }
    output = {};
    output.numChannels = 2;
    if (is64)
        output.channelBuffers64 = ptr64 + kOutL;
    else
        output.channelBuffers32 = ptr32 + kOutL;

    data = ProcessData();
    data.processMode = kRealtime;
    data.symbolicSampleSize = is64 ? kSample64 : kSample32;
    data.numSamples = n;
    data.numInputs = withSidechain ? 2 : 1;
    data.numOutputs = 1;
    data.inputs = inputs;
    data.outputs = &output;
    data.inputParameterChanges = changes;
    return data;
}

double HostBlock::Out(int channel, int32_t i) const
{
    const size_t c = static_cast<size_t>(kOutL + channel);
    return is64 ? buffers64[c][static_cast<size_t>(i)] : buffers32[c][static_cast<size_t>(i)];
}
