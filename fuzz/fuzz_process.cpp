// Processing as any host might drive it: sample size, block limit and rate
// from the first bytes, then a run of host calls: blocks of any length with
// any parameter queues, bus layouts and levels, bus (de)activation, new
// processing setups, arrangements and state loads. Buffers are exactly as
// long as the block, so any write or read past them is caught.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzPlug.h"
#include "HostileStream.h"

#include "ParameterChanges.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr double kRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000, 384000};
// Levels of the test signal; the finite-output property holds up to 1e3.
constexpr double kLevels[] = {0.0, 1e-310, 1e-20, 0.01, 0.5, 1.0, 4.0, 1000.0};
// Total frames one input may ask for, so every input runs quickly.
constexpr int64_t kFrameBudget = 1 << 16;

struct HostSetup {
    int32 sampleSize;
    int32 maxBlock;
    double rate;
    bool oddRate;   // a rate no host uses: only crashes and UB count there
};

HostSetup ReadSetup(FuzzInput& in)
{
    HostSetup s;
    const uint8_t a = in.U8();
    s.sampleSize = (a & 1) ? kSample64 : kSample32;
    s.maxBlock = 1 + in.U16() % 2048;
    s.oddRate = (a & 2) != 0;
    s.rate = s.oddRate ? 1.0 + in.U32() % 10000000 : kRates[in.U8() % (sizeof kRates / sizeof kRates[0])];
    return s;
}

ParamID ReadParamId(FuzzInput& in)
{
    const uint8_t k = in.U8() % 14;
    if (k < 9)
        return k;
    switch (k) {
    case 9: return 0x62706173;
    case 10: return 0x70727374;
    case 11: return 9;
    default: return in.U32();
    }
}

// The channels of one bus for one block, each exactly `frames` long, or null
// where the host gives no buffer.
class BusMemory {
public:
    BusMemory(int channels, int32 frames, bool is64, bool nullChannels, uint32_t seed, double level)
    {
        for (int ch = 0; ch < channels; ++ch) {
            if (nullChannels && (seed >> ch) & 1) {
                p32.push_back(nullptr);
                p64.push_back(nullptr);
                continue;
            }
            store32.emplace_back(new float[static_cast<size_t>(frames) + 0]);
            store64.emplace_back(new double[static_cast<size_t>(frames) + 0]);
            uint32_t s = seed + static_cast<uint32_t>(ch) * 7919u;
            for (int32 i = 0; i < frames; ++i) {
                s = s * 1664525u + 1013904223u;
                const double v = level * (static_cast<double>(s >> 8) / 8388608.0 - 1.0);
                store32.back()[static_cast<size_t>(i)] = static_cast<float>(v);
                store64.back()[static_cast<size_t>(i)] = static_cast<float>(v);
            }
            p32.push_back(store32.back().get());
            p64.push_back(store64.back().get());
        }
        buffers.numChannels = channels;
        buffers.silenceFlags = 0;
        if (is64)
            buffers.channelBuffers64 = channels ? p64.data() : nullptr;
        else
            buffers.channelBuffers32 = channels ? p32.data() : nullptr;
    }

    AudioBusBuffers buffers{};
    std::vector<std::unique_ptr<float[]>> store32;
    std::vector<std::unique_ptr<double[]>> store64;
    std::vector<float*> p32;
    std::vector<double*> p64;
};

// One block; false when finite input up to the property's level gave a
// non-finite output sample. Once a block ran at a rate no host uses, the
// filters may hold anything: the property is off for the rest of the input.
bool RunBlock(FuzzInput& in, FuzzPlug& fp, const HostSetup& setup, int64_t* budget, bool* tainted)
{
    const bool is64 = setup.sampleSize == kSample64;
    const int32 limit = static_cast<int32>(std::min<int64_t>(*budget, 2 * setup.maxBlock + 1));
    int32 frames = static_cast<int32>(in.U16() % (limit + 1));
    const uint8_t layout = in.U8();
    if (layout == 0xFF)
        frames = -static_cast<int32>(in.U8());   // a host that sends a negative count
    *budget -= frames > 0 ? frames : 0;
    const uint8_t levelIdx = in.U8();
    const double level = kLevels[levelIdx % (sizeof kLevels / sizeof kLevels[0])];
    const uint32_t seed = in.U32();
    const int32 n = frames > 0 ? frames : 0;

    ParameterChanges changes;
    const int queues = in.U8() % 6;
    for (int q = 0; q < queues; ++q) {
        ParamValueQueue& queue = changes.Add(ReadParamId(in));
        const uint8_t pts = in.U8();
        if (pts & 0x80)
            queue.SetUnreadable(true);
        for (int p = 0; p < (pts & 3); ++p)
            queue.Add(static_cast<int32>(in.U16()) - 16, in.Normalized());
    }
    if (in.U8() & 1)
        changes.AddNullSlot();

    // Bus shapes: no inputs, main only, main and sidechain; channel counts
    // that match or do not; null channel pointers; in-place output.
    const int numInputs = layout % 3;
    const int mainChannels = (layout >> 2) % 4;
    const int scChannels = (layout >> 4) % 3;
    const bool nullChannels = (layout & 0x40) != 0;
    const bool inPlace = (layout & 0x80) != 0;
    BusMemory mainIn(mainChannels, n, is64, nullChannels, seed, level);
    BusMemory scIn(scChannels, n, is64, nullChannels, seed ^ 0x55u, level);
    BusMemory out(2, n, is64, false, seed ^ 0xAAu, 7.0);
    AudioBusBuffers inputs[2] = {mainIn.buffers, scIn.buffers};
    AudioBusBuffers outputs[1] = {out.buffers};
    if (inPlace && mainChannels == 2 && !nullChannels)
        outputs[0] = mainIn.buffers;

    ProcessData data;
    data.processMode = (seed & 1) ? kOffline : kRealtime;
    data.symbolicSampleSize = setup.sampleSize;
    data.numSamples = frames;
    data.numInputs = numInputs;
    data.inputs = numInputs ? inputs : nullptr;
    data.numOutputs = (seed & 2) ? 0 : 1;
    data.outputs = (seed & 2) ? nullptr : outputs;
    data.inputParameterChanges = (seed & 4) ? nullptr : &changes;
    FuzzCheck(fp.Plug().process(data) == kResultOk, "process answers ok");

    *tainted = *tainted || setup.oddRate;
    if (*tainted || level > 1e3 || data.numOutputs == 0)
        return true;
    const AudioBusBuffers& o = outputs[0];
    for (int ch = 0; ch < o.numChannels; ++ch) {
        for (int32 i = 0; i < n; ++i) {
            const double v = is64 ? o.channelBuffers64[ch][i] : o.channelBuffers32[ch][i];
            if (!std::isfinite(v))
                return false;
        }
    }
    return true;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    HostSetup setup = ReadSetup(in);
    FuzzPlug fp(setup.sampleSize, setup.maxBlock, setup.rate);
    Tidepull& plug = fp.Plug();
    int64_t budget = kFrameBudget;
    bool tainted = false;
    int calls = 0;
    while (!in.Empty() && budget > 0 && calls++ < 256) {
        const uint8_t op = in.U8() % 12;
        switch (op) {
        case 6: plug.activateBus(kAudio, in.U8() & 1 ? kOutput : kInput, in.U8() % 3, in.U8() & 1); break;
        case 7: plug.setActive(in.U8() & 1); break;
        case 8: {
            // A new setup, maybe while processing; refused ones keep the last.
            const HostSetup next = ReadSetup(in);
            ProcessSetup ps{kRealtime, next.sampleSize, next.maxBlock, next.rate};
            if (plug.setupProcessing(ps) == kResultOk)
                setup = next;
            break;
        }
        case 9: {
            SpeakerArrangement ins[2] = {static_cast<SpeakerArrangement>(in.U8()),
                                         static_cast<SpeakerArrangement>(in.U8())};
            SpeakerArrangement outs[1] = {static_cast<SpeakerArrangement>(in.U8())};
            plug.setBusArrangements(ins, in.U8() % 3, outs, in.U8() % 2);
            break;
        }
        case 10: {
            const size_t len = in.U8();
            std::vector<uint8_t> blob(in.Here(), in.Here() + std::min(len, in.Remaining()));
            in.Skip(len);
            HostileStream stream(blob, HostileStream::kFailAtEnd, 0);
            plug.setState(&stream);
            break;
        }
        case 11: FuzzCheck(fp.StateIsSane(), "the state stays sane while processing"); break;
        default: FuzzCheck(RunBlock(in, fp, setup, &budget, &tainted), "finite input gives finite output"); break;
        }
    }
    FuzzCheck(fp.StateIsSane(), "the state stays sane while processing");
    return 0;
}
