// What a host may legally (or sloppily) do, and the plug must survive without
// crashing, writing outside its buffers or changing its sound.
#include "HostBus.h"
#include "HostedPlugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

using Setup = HostedPlugin::Setup;

constexpr ParamID kAcThreshold = 2;
constexpr ParamID kDcThreshold = 3;
constexpr ParamID kExternalSidechain = 8;

ProcessData BlockData(int32 sampleSize, int32 frames, AudioBusBuffers* inputs, int32 numInputs,
                      AudioBusBuffers* outputs, int32 numOutputs, IParameterChanges* changes = nullptr)
{
    ProcessData data;
    data.processMode = kRealtime;
    data.symbolicSampleSize = sampleSize;
    data.numSamples = frames;
    data.inputs = inputs;
    data.numInputs = numInputs;
    data.outputs = outputs;
    data.numOutputs = numOutputs;
    data.inputParameterChanges = changes;
    return data;
}

void AddHardCompression(ParameterChanges& changes, bool externalKey)
{
    changes.Add(kAcThreshold, 1.0);
    changes.Add(kDcThreshold, 1.0);
    changes.Add(kExternalSidechain, externalKey ? 1.0 : 0.0);
}

// Prepared with a sidechain bus and set to compress hard on its key, as the
// instances that a test drives and the references it compares them with.
bool PrepareKeyedCompression(HostedPlugin& plug, int32 size, int32 frames)
{
    if (!plug.Valid() || !plug.Prepare(Setup::Of(size, frames, true)))
        return false;
    ParameterChanges changes;
    AddHardCompression(changes, true);
    plug.Apply(changes);
    return true;
}

TEST(RobustnessTest, ZeroFramesWithNullBuffersStillApplyParameterChanges)
{
    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        HostedPlugin plug;
        ASSERT_TRUE(plug.Valid());
        ASSERT_TRUE(plug.Prepare(Setup::Of(size, 128, true)));

        AudioBusBuffers ins[2];
        ins[0].numChannels = 2;
        ins[1].numChannels = 2;
        AudioBusBuffers out;
        out.numChannels = 2;
        ParameterChanges changes;
        changes.Add(kAcThreshold, 0.75);
        ProcessData data = BlockData(size, 0, ins, 2, &out, 1, &changes);
        EXPECT_EQ(plug.Processor()->process(data), kResultOk);
        EXPECT_DOUBLE_EQ(plug.Controller()->getParamNormalized(kAcThreshold), 0.75);

        // No bus arrays at all.
        ProcessData bare = BlockData(size, 0, nullptr, 0, nullptr, 0);
        EXPECT_EQ(plug.Processor()->process(bare), kResultOk);

        // Still processes normally afterwards.
        const StereoSignal in = StereoSignal::Music(512, 48000.0, 0.5, 3);
        const StereoSignal result = plug.Render(in, nullptr, {128});
        EXPECT_TRUE(result.AllFinite());
        EXPECT_NE(result.left, StereoSignal(512).left);
        EXPECT_FALSE(plug.GuardFault());
    }
}

TEST(RobustnessTest, MissingInputOrOutputBusesInTheData)
{
    // Plug A gets no inputs in block 1 and no outputs in block 2; plug B gets
    // silence in block 1 and normal buffers in block 2. Both must end in the
    // same state and give the same audio wherever A's output was delivered.
    const int kFrames = 256;
    const StereoSignal x = StereoSignal::Music(kFrames * 3, 48000.0, 0.8, 71);
    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        const bool is64 = size == kSample64;
        HostedPlugin a;
        HostedPlugin b;
        ASSERT_TRUE(a.Valid() && b.Valid());
        ASSERT_TRUE(a.Prepare(Setup::Of(size, kFrames)));
        ASSERT_TRUE(b.Prepare(Setup::Of(size, kFrames)));

        // Block 1, A: numInputs 0.
        HostBus outA1(2, kFrames, is64);
        outA1.Fill(7.0);
        ProcessData dataA1 = BlockData(size, kFrames, nullptr, 0, &outA1.Buffers(), 1);
        EXPECT_EQ(a.Processor()->process(dataA1), kResultOk);
        StereoSignal outB(x.Frames());
        const StereoSignal silence(x.Frames());
        b.ProcessBlock(silence, nullptr, 0, kFrames, outB);
        for (int i = 0; i < kFrames; ++i) {
            ASSERT_EQ(outA1.Get(0, i), outB.left[static_cast<size_t>(i)]) << i;
            ASSERT_EQ(outA1.Get(1, i), outB.right[static_cast<size_t>(i)]) << i;
        }
        EXPECT_TRUE(outA1.GuardsIntact());

        // Block 2, A: numOutputs 0 (a host only feeding the detector).
        HostBus inA2(2, kFrames, is64);
        HostBus scA2(2, kFrames, is64);
        inA2.Load(x, kFrames);
        AudioBusBuffers insA2[2] = {inA2.Buffers(), scA2.Buffers()};
        ProcessData dataA2 = BlockData(size, kFrames, insA2, 2, nullptr, 0);
        EXPECT_EQ(a.Processor()->process(dataA2), kResultOk);
        b.ProcessBlock(x, nullptr, kFrames, kFrames, outB);

        // Block 3: both normal.
        StereoSignal outA(x.Frames());
        a.ProcessBlock(x, nullptr, 2 * kFrames, kFrames, outA);
        b.ProcessBlock(x, nullptr, 2 * kFrames, kFrames, outB);
        for (int i = 2 * kFrames; i < 3 * kFrames; ++i) {
            ASSERT_EQ(outA.left[static_cast<size_t>(i)], outB.left[static_cast<size_t>(i)]) << i;
            ASSERT_EQ(outA.right[static_cast<size_t>(i)], outB.right[static_cast<size_t>(i)]) << i;
        }
        EXPECT_FALSE(a.GuardFault());
        EXPECT_TRUE(inA2.GuardsIntact() && scA2.GuardsIntact());
    }
}

TEST(RobustnessTest, ActiveSidechainLeftOutOfTheDataReadsSilence)
{
    const int kFrames = 480;
    const StereoSignal x = StereoSignal::Music(kFrames * 8, 48000.0, 0.1, 81);
    const StereoSignal key = StereoSignal::Music(kFrames * 8, 48000.0, 0.9, 82);
    StereoSignal keyThenSilence = key;
    for (size_t i = kFrames * 2; i < key.Frames(); ++i)
        keyThenSilence.left[i] = keyThenSilence.right[i] = 0.0;

    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        const bool is64 = size == kSample64;
        HostedPlugin a;
        HostedPlugin b;
        ASSERT_TRUE(PrepareKeyedCompression(a, size, kFrames));
        ASSERT_TRUE(PrepareKeyedCompression(b, size, kFrames));

        StereoSignal outA(x.Frames());
        StereoSignal outB(x.Frames());
        for (int blk = 0; blk < 8; ++blk) {
            const size_t start = static_cast<size_t>(blk) * kFrames;
            b.ProcessBlock(x, &keyThenSilence, start, kFrames, outB);
            if (blk < 2) {
                a.ProcessBlock(x, &key, start, kFrames, outA);
                continue;
            }
            // From block 2 on, A's host hands over the main bus only.
            HostBus in(2, kFrames, is64);
            HostBus out(2, kFrames, is64);
            in.Load(x, start);
            ProcessData data = BlockData(size, kFrames, &in.Buffers(), 1, &out.Buffers(), 1);
            ASSERT_EQ(a.Processor()->process(data), kResultOk);
            out.Store(outA, start);
            EXPECT_TRUE(in.GuardsIntact() && out.GuardsIntact());
        }
        EXPECT_EQ(outA.left, outB.left);
        EXPECT_EQ(outA.right, outB.right);
    }
}

TEST(RobustnessTest, InactiveBusesWithNullBuffers)
{
    const int kFrames = 256;
    const StereoSignal x = StereoSignal::Music(kFrames, 48000.0, 0.5, 91);
    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        const bool is64 = size == kSample64;
        HostedPlugin plug;
        ASSERT_TRUE(plug.Valid());
        ASSERT_TRUE(plug.Prepare(Setup::Of(size, kFrames, false)));

        // Inactive sidechain handed over with null channel pointers.
        HostBus in(2, kFrames, is64);
        HostBus out(2, kFrames, is64);
        in.Load(x, 0);
        AudioBusBuffers ins[2] = {in.Buffers(), AudioBusBuffers()};
        ins[1].numChannels = 2;
        ProcessData data = BlockData(size, kFrames, ins, 2, &out.Buffers(), 1);
        ASSERT_EQ(plug.Processor()->process(data), kResultOk);
        EXPECT_TRUE(in.GuardsIntact() && out.GuardsIntact());
        double energy = 0.0;
        for (int i = 0; i < kFrames; ++i)
            energy += out.Get(0, i) * out.Get(0, i);
        EXPECT_GT(energy, 0.0);
        EXPECT_TRUE(std::isfinite(energy));

        // Every bus inactive: the host's output memory is left as it was.
        IComponent* c = plug.Component();
        ASSERT_EQ(c->activateBus(kAudio, kInput, 0, false), kResultOk);
        ASSERT_EQ(c->activateBus(kAudio, kOutput, 0, false), kResultOk);
        out.Fill(0.25);
        ASSERT_EQ(plug.Processor()->process(data), kResultOk);
        for (int i = 0; i < kFrames; ++i) {
            ASSERT_EQ(out.Get(0, i), 0.25) << i;
            ASSERT_EQ(out.Get(1, i), 0.25) << i;
        }
        EXPECT_TRUE(out.GuardsIntact());

        // An inactive output handed over with null channel pointers.
        AudioBusBuffers nullOut;
        nullOut.numChannels = 2;
        ProcessData noOut = BlockData(size, kFrames, ins, 2, &nullOut, 1);
        EXPECT_EQ(plug.Processor()->process(noOut), kResultOk);

        // Active again: written again.
        ASSERT_EQ(c->activateBus(kAudio, kInput, 0, true), kResultOk);
        ASSERT_EQ(c->activateBus(kAudio, kOutput, 0, true), kResultOk);
        out.Fill(0.25);
        ASSERT_EQ(plug.Processor()->process(data), kResultOk);
        int untouched = 0;
        for (int i = 0; i < kFrames; ++i)
            untouched += out.Get(0, i) == 0.25;
        EXPECT_LT(untouched, kFrames / 2);
    }
}

TEST(RobustnessTest, RebuiltMonoSidechainStartsInactiveAndFeedsBothPorts)
{
    const int kFrames = 480;
    const int kBlocks = 10;
    const StereoSignal x = StereoSignal::Music(kFrames * kBlocks, 48000.0, 0.1, 97);
    StereoSignal keyLeftOnly = StereoSignal::Music(kFrames * kBlocks, 48000.0, 0.9, 98);
    std::fill(keyLeftOnly.right.begin(), keyLeftOnly.right.end(), 0.0);
    StereoSignal keyOnBoth = keyLeftOnly;
    keyOnBoth.right = keyOnBoth.left;
    const StereoSignal silence(x.Frames());

    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        const bool is64 = size == kSample64;
        // scArrangement: the host's sidechain arrangement; activate: whether
        // the host activates the sidechain bus after arranging.
        auto render = [&](SpeakerArrangement scArrangement, bool activate, const StereoSignal& key) {
            HostedPlugin plug;
            EXPECT_TRUE(plug.Valid());
            EXPECT_EQ(plug.Initialize(), kResultOk);
            IComponent* c = plug.Component();
            SpeakerArrangement ins[2] = {0x3, scArrangement};
            SpeakerArrangement outs[1] = {0x3};
            EXPECT_EQ(plug.Processor()->setBusArrangements(ins, 2, outs, 1), kResultOk);
            c->activateBus(kAudio, kInput, 0, true);
            c->activateBus(kAudio, kOutput, 0, true);
            if (activate)
                c->activateBus(kAudio, kInput, 1, true);
            ProcessSetup setup{kRealtime, size, kFrames, 48000.0};
            EXPECT_EQ(plug.Processor()->setupProcessing(setup), kResultOk);
            c->setActive(true);
            ParameterChanges changes;
            AddHardCompression(changes, true);

            const int keyChannels = scArrangement == 0x3 ? 2 : 1;
            StereoSignal out(x.Frames());
            for (int blk = 0; blk < kBlocks; ++blk) {
                const size_t start = static_cast<size_t>(blk) * kFrames;
                HostBus in(2, kFrames, is64);
                HostBus sc(keyChannels, kFrames, is64);
                HostBus o(2, kFrames, is64);
                in.Load(x, start);
                sc.Load(key, start);
                AudioBusBuffers buses[2] = {in.Buffers(), sc.Buffers()};
                ProcessData data = BlockData(size, kFrames, buses, 2, &o.Buffers(), 1, blk == 0 ? &changes : nullptr);
                EXPECT_EQ(plug.Processor()->process(data), kResultOk);
                o.Store(out, start);
                EXPECT_TRUE(in.GuardsIntact() && sc.GuardsIntact() && o.GuardsIntact());
            }
            return out;
        };
        const SpeakerArrangement kMono = 0x80000;
        const StereoSignal notActivated = render(kMono, false, keyLeftOnly);
        const StereoSignal silentKey = render(kMono, true, silence);
        EXPECT_EQ(notActivated.left, silentKey.left);
        const StereoSignal monoKey = render(kMono, true, keyLeftOnly);
        // The mono key is heard as that key on both stereo channels.
        const StereoSignal stereoKey = render(0x3, true, keyOnBoth);
        EXPECT_EQ(monoKey.left, stereoKey.left);
        EXPECT_EQ(monoKey.right, stereoKey.right);
        EXPECT_LT(monoKey.Rms(), 0.5 * notActivated.Rms());
    }
}

// Bus activity, bus lists and host buffers may all change from one block to
// the next; each block must use what holds for it, also one frame at a time.
TEST(RobustnessTest, SidechainActivityFlippedBetweenBlocksCountsFromTheNextBlock)
{
    const StereoSignal x = StereoSignal::Music(3000, 48000.0, 0.1, 131);
    const StereoSignal key = StereoSignal::Music(3000, 48000.0, 0.9, 132);
    // Single-frame blocks, some longer ones between; the sidechain is on in
    // runs of different lengths, down to one block.
    const std::vector<int> blocks = {1, 1, 1, 7, 1, 64, 1, 1, 33, 1, 1, 1, 1, 200, 1, 5};
    const std::vector<bool> on = {true, false, true, true, false, false, true, false, false, true, true, false, true};

    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        HostedPlugin flipped;
        HostedPlugin fed;
        ASSERT_TRUE(PrepareKeyedCompression(flipped, size, 256));
        ASSERT_TRUE(PrepareKeyedCompression(fed, size, 256));

        // The reference keeps its sidechain on and is handed silence where
        // the other one's sidechain is off.
        StereoSignal outFlipped(x.Frames());
        StereoSignal outFed(x.Frames());
        const StereoSignal silence(x.Frames());
        size_t pos = 0;
        for (size_t k = 0; pos < x.Frames(); ++k) {
            const int n =
                static_cast<int>(std::min<size_t>(static_cast<size_t>(blocks[k % blocks.size()]), x.Frames() - pos));
            const bool active = on[k % on.size()];
            flipped.SetSidechainActive(active);
            ASSERT_TRUE(flipped.ProcessBlock(x, &key, pos, n, outFlipped));
            StereoSignal keyNow = silence;
            if (active)
                keyNow = key;
            ASSERT_TRUE(fed.ProcessBlock(x, &keyNow, pos, n, outFed));
            pos += static_cast<size_t>(n);
        }
        EXPECT_EQ(outFlipped.left, outFed.left);
        EXPECT_EQ(outFlipped.right, outFed.right);
        // And the key is heard at all.
        HostedPlugin unkeyed;
        ASSERT_TRUE(unkeyed.Valid() && unkeyed.Prepare(Setup::Of(size, 256, true)));
        ParameterChanges c;
        AddHardCompression(c, true);
        EXPECT_NE(unkeyed.Render(x, &silence, {256}, &c).left, outFed.left);
    }
}

TEST(RobustnessTest, NewHostBuffersEveryBlockAndNullChannelsAfterValidOnes)
{
    // Every single-frame block comes in buffers of its own, taken in turn
    // from a pool; now and then the host hands null channels instead. The
    // plug reads the block's own input (silence for a null channel), writes
    // only the block's own output and none of the buffers it had before.
    const int kBlocks = 600;
    const int kPool = 3;
    const StereoSignal x = StereoSignal::Music(kBlocks, 48000.0, 0.9, 141);
    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        const bool is64 = size == kSample64;
        HostedPlugin plug;
        HostedPlugin reference;
        ASSERT_TRUE(plug.Valid() && reference.Valid());
        ASSERT_TRUE(plug.Prepare(Setup::Of(size, 1)));
        ASSERT_TRUE(reference.Prepare(Setup::Of(size, 1)));
        ParameterChanges a;
        ParameterChanges b;
        a.Add(kAcThreshold, 0.8);
        b.Add(kAcThreshold, 0.8);
        plug.Apply(a);
        reference.Apply(b);

        std::vector<HostBus> ins;
        std::vector<HostBus> outs;
        ins.reserve(kPool);
        outs.reserve(kPool);
        for (int k = 0; k < kPool; ++k) {
            ins.emplace_back(2, 1, is64);
            outs.emplace_back(2, 1, is64);
        }
        const double kUntouched = 0.125;
        StereoSignal heard(x.Frames());
        StereoSignal expected(x.Frames());
        StereoSignal silentWhereNull = x;
        int delivered = 0;
        for (int blk = 0; blk < kBlocks; ++blk) {
            const size_t at = static_cast<size_t>(blk);
            HostBus& in = ins[static_cast<size_t>(blk % kPool)];
            HostBus& out = outs[static_cast<size_t>(blk % kPool)];
            for (HostBus& o : outs)
                o.Fill(kUntouched);
            in.Load(x, at);
            AudioBusBuffers inBuffers = in.Buffers();
            AudioBusBuffers outBuffers = out.Buffers();
            const bool nullIn = blk % 7 == 3;
            const bool nullOut = blk % 11 == 5;
            if (nullIn) {
                inBuffers.channelBuffers32 = nullptr;
                silentWhereNull.left[at] = silentWhereNull.right[at] = 0.0;
            }
            if (nullOut)
                outBuffers.channelBuffers32 = nullptr;
            ProcessData data = BlockData(size, 1, &inBuffers, 1, &outBuffers, 1);
            ASSERT_EQ(plug.Processor()->process(data), kResultOk);

            for (int k = 0; k < kPool; ++k) {
                if (k == blk % kPool && !nullOut)
                    continue;
                for (int ch = 0; ch < 2; ++ch)
                    ASSERT_EQ(outs[static_cast<size_t>(k)].Get(ch, 0), kUntouched) << "block " << blk << " pool " << k;
            }
            ASSERT_TRUE(in.GuardsIntact() && out.GuardsIntact()) << "block " << blk;
            if (!nullOut) {
                heard.left[at] = out.Get(0, 0);
                heard.right[at] = out.Get(1, 0);
                ++delivered;
            }
            ASSERT_TRUE(reference.ProcessBlock(silentWhereNull, nullptr, at, 1, expected));
            if (nullOut) {
                expected.left[at] = 0.0;
                expected.right[at] = 0.0;
            }
        }
        EXPECT_GT(delivered, kBlocks / 2);
        EXPECT_EQ(heard.left, expected.left);
        EXPECT_EQ(heard.right, expected.right);
        EXPECT_GT(heard.Rms(), 0.0);
    }
}

TEST(RobustnessTest, BusesRebuiltBetweenBlocksAreTheOnesReadNext)
{
    // A stereo sidechain that was active is replaced by a mono one, which
    // starts inactive: the key falls silent at once, although the host still
    // hands it over, and comes back (its left channel, on both sidechain
    // ports) once activated.
    const int kFrames = 32;
    const int kBlocks = 30;
    const StereoSignal x = StereoSignal::Music(kFrames * kBlocks, 48000.0, 0.1, 151);
    const StereoSignal key = StereoSignal::Music(kFrames * kBlocks, 48000.0, 0.9, 152);
    const int kRebuildAt = 10;
    const int kActivateAt = 20;
    StereoSignal keyHeard = key;
    for (size_t i = static_cast<size_t>(kRebuildAt * kFrames); i < key.Frames(); ++i) {
        if (i < static_cast<size_t>(kActivateAt * kFrames))
            keyHeard.left[i] = 0.0;
        keyHeard.right[i] = keyHeard.left[i];
    }
    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        const bool is64 = size == kSample64;
        HostedPlugin rebuilt;
        HostedPlugin reference;
        ASSERT_TRUE(PrepareKeyedCompression(rebuilt, size, kFrames));
        ASSERT_TRUE(PrepareKeyedCompression(reference, size, kFrames));

        StereoSignal out(x.Frames());
        StereoSignal expected(x.Frames());
        for (int blk = 0; blk < kBlocks; ++blk) {
            const size_t start = static_cast<size_t>(blk) * kFrames;
            IComponent* c = rebuilt.Component();
            if (blk == kRebuildAt) {
                SpeakerArrangement ins[2] = {0x3, 0x80000};
                SpeakerArrangement outs[1] = {0x3};
                ASSERT_EQ(c->setActive(false), kResultOk);
                ASSERT_EQ(rebuilt.Processor()->setBusArrangements(ins, 2, outs, 1), kResultOk);
                // Both inputs are new and start inactive; the output is kept.
                ASSERT_EQ(c->activateBus(kAudio, kInput, 0, true), kResultOk);
                ASSERT_EQ(c->setActive(true), kResultOk);
            }
            if (blk == kActivateAt) {
                ASSERT_EQ(c->activateBus(kAudio, kInput, 1, true), kResultOk);
            }
            const int keyChannels = blk < kRebuildAt ? 2 : 1;
            HostBus in(2, kFrames, is64);
            HostBus sc(keyChannels, kFrames, is64);
            HostBus o(2, kFrames, is64);
            in.Load(x, start);
            sc.Load(key, start);
            AudioBusBuffers buses[2] = {in.Buffers(), sc.Buffers()};
            ProcessData data = BlockData(size, kFrames, buses, 2, &o.Buffers(), 1);
            ASSERT_EQ(rebuilt.Processor()->process(data), kResultOk);
            o.Store(out, start);
            ASSERT_TRUE(reference.ProcessBlock(x, &keyHeard, start, kFrames, expected));
        }
        EXPECT_EQ(out.left, expected.left);
        EXPECT_EQ(out.right, expected.right);
    }
}

TEST(RobustnessTest, SloppyBusDataFromTheHost)
{
    // Channel counts and bus counts that do not match the arrangement: the
    // plug may make what it likes of them but must stay inside the buffers.
    const int kFrames = 128;
    const StereoSignal x = StereoSignal::Music(kFrames, 48000.0, 0.5, 95);
    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        const bool is64 = size == kSample64;
        HostedPlugin plug;
        ASSERT_TRUE(plug.Valid());
        ASSERT_TRUE(plug.Prepare(Setup::Of(size, kFrames, true)));

        HostBus monoIn(1, kFrames, is64);
        HostBus monoKey(1, kFrames, is64);
        HostBus wideOut(8, kFrames, is64);
        HostBus extraOut1(2, kFrames, is64);
        HostBus extraOut2(2, kFrames, is64);
        monoIn.Load(x, 0);
        monoKey.Load(x, 0);
        AudioBusBuffers ins[2] = {monoIn.Buffers(), monoKey.Buffers()};
        AudioBusBuffers outs[3] = {wideOut.Buffers(), extraOut1.Buffers(), extraOut2.Buffers()};
        ProcessData data = BlockData(size, kFrames, ins, 2, outs, 3);
        EXPECT_EQ(plug.Processor()->process(data), kResultOk);
        plug.SetSidechainActive(false);
        EXPECT_EQ(plug.Processor()->process(data), kResultOk);
        for (HostBus* bus : {&monoIn, &monoKey, &wideOut, &extraOut1, &extraOut2})
            EXPECT_TRUE(bus->GuardsIntact());
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < kFrames; ++i)
                ASSERT_TRUE(std::isfinite(wideOut.Get(ch, i)));
    }
}

TEST(RobustnessTest, ProcessAndArrangementsBeforeSetupProcessing)
{
    // Without a setup the plug runs at its defaults (44.1 kHz, 32-bit); a
    // host that set exactly that up must hear the same, whatever block sizes
    // come before the first setup.
    const std::vector<int> blocks = {0, 1, 512, 1024, 3000, 77};
    const StereoSignal x = StereoSignal::Music(4614, 44100.0, 0.7, 101);

    HostedPlugin early;
    ASSERT_TRUE(early.Valid());
    ASSERT_EQ(early.Initialize(), kResultOk);
    IComponent* c = early.Component();
    c->activateBus(kAudio, kInput, 0, true);
    c->activateBus(kAudio, kOutput, 0, true);
    c->activateBus(kAudio, kInput, 1, true);
    SpeakerArrangement ins[2] = {0x3, 0x3};
    SpeakerArrangement outs[1] = {0x3};
    EXPECT_EQ(early.Processor()->setBusArrangements(ins, 2, outs, 1), kResultOk);
    ParameterChanges changes;
    AddHardCompression(changes, false);
    const StereoSignal out = early.Render(x, &x, blocks, &changes);
    EXPECT_FALSE(early.GuardFault());

    HostedPlugin prepared;
    ASSERT_TRUE(prepared.Valid());
    HostedPlugin::Setup setup = Setup::Of(kSample32, 1024, true);
    setup.sampleRate = 44100.0;
    ASSERT_TRUE(prepared.Prepare(setup));
    ParameterChanges same;
    AddHardCompression(same, false);
    const StereoSignal reference = prepared.Render(x, &x, blocks, &same);
    EXPECT_EQ(out.left, reference.left);
    EXPECT_EQ(out.right, reference.right);
    EXPECT_TRUE(out.AllFinite());
}

TEST(RobustnessTest, BlocksLongerThanTheSetUpMaximumRunInPieces)
{
    const StereoSignal x = StereoSignal::Music(5000, 48000.0, 0.9, 111);
    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        auto render = [&](std::vector<int> blocks) {
            HostedPlugin plug;
            EXPECT_TRUE(plug.Valid());
            EXPECT_TRUE(plug.Prepare(Setup::Of(size, 64)));
            ParameterChanges changes;
            changes.Add(kAcThreshold, 0.6);
            StereoSignal out = plug.Render(x, nullptr, blocks, &changes);
            EXPECT_FALSE(plug.GuardFault());
            return out;
        };
        const StereoSignal pieces = render({64});
        const StereoSignal long1000 = render({1000});
        EXPECT_EQ(long1000.left, pieces.left);
        EXPECT_EQ(long1000.right, pieces.right);
        const StereoSignal mixed = render({1000, 64, 7, 129, 4096});
        EXPECT_EQ(mixed.left, pieces.left);
        EXPECT_EQ(mixed.right, pieces.right);
    }
}

TEST(RobustnessTest, EveryBlockSizeUpToTheMaximumGivesTheSameAudio)
{
    std::vector<int> sizes;
    for (int n = 1; n <= 64; ++n)
        sizes.push_back(n);
    const StereoSignal x = StereoSignal::Music(2080 * 3, 48000.0, 0.9, 121);   // three rounds of 1..64
    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        auto render = [&](const std::vector<int>& blocks, bool withKey) {
            HostedPlugin plug;
            EXPECT_TRUE(plug.Valid());
            EXPECT_TRUE(plug.Prepare(Setup::Of(size, 64, withKey)));
            ParameterChanges changes;
            AddHardCompression(changes, withKey);
            StereoSignal out = plug.Render(x, &x, blocks, &changes);
            EXPECT_FALSE(plug.GuardFault());
            return out;
        };
        for (bool withKey : {false, true}) {
            SCOPED_TRACE(withKey ? "external key" : "internal key");
            const StereoSignal fixed = render({64}, withKey);
            const StereoSignal varied = render(sizes, withKey);
            EXPECT_EQ(varied.left, fixed.left);
            EXPECT_EQ(varied.right, fixed.right);
        }
    }
}

TEST(RobustnessTest, ManyLifeCycles)
{
    HostedPlugin plug;
    ASSERT_TRUE(plug.Valid());
    IComponent* c = plug.Component();
    IAudioProcessor* p = plug.Processor();
    TestHostContext host("Cycle Host");
    const StereoSignal x = StereoSignal::Music(64, 48000.0, 0.5, 131);
    for (int cycle = 0; cycle < 50; ++cycle) {
        SCOPED_TRACE(cycle);
        ASSERT_EQ(c->initialize(static_cast<IHostApplication*>(&host)), kResultOk);
        ASSERT_EQ(c->getBusCount(kAudio, kInput), 2);
        ASSERT_EQ(c->getBusCount(kAudio, kOutput), 1);
        ASSERT_EQ(plug.Controller()->getParameterCount(), 11);
        c->activateBus(kAudio, kInput, 0, true);
        c->activateBus(kAudio, kOutput, 0, true);
        ProcessSetup setup{kRealtime, cycle % 2 ? kSample64 : kSample32, 32 + cycle, 44100.0 + cycle};
        ASSERT_EQ(p->setupProcessing(setup), kResultOk);
        ASSERT_EQ(c->setActive(true), kResultOk);
        HostBus in(2, 64, cycle % 2 != 0);
        HostBus out(2, 64, cycle % 2 != 0);
        in.Load(x, 0);
        ProcessData data = BlockData(setup.symbolicSampleSize, 64, &in.Buffers(), 1, &out.Buffers(), 1);
        ASSERT_EQ(p->process(data), kResultOk);
        ASSERT_TRUE(out.GuardsIntact());
        // Now and then the host forgets to deactivate.
        if (cycle % 3 != 0) {
            ASSERT_EQ(c->setActive(false), kResultOk);
        }
        ASSERT_EQ(c->terminate(), kResultOk);
        ASSERT_EQ(host.RefCount(), 1u);
    }
}

TEST(RobustnessTest, ReleasedWhileActiveOrWithoutTerminate)
{
    TestHostContext host("Careless Host");
    {
        HostedPlugin plug;
        ASSERT_TRUE(plug.Valid());
        ASSERT_EQ(plug.Component()->initialize(static_cast<IHostApplication*>(&host)), kResultOk);
        plug.Component()->activateBus(kAudio, kOutput, 0, true);
        ProcessSetup setup{kRealtime, kSample32, 128, 48000.0};
        ASSERT_EQ(plug.Processor()->setupProcessing(setup), kResultOk);
        ASSERT_EQ(plug.Component()->setActive(true), kResultOk);
        const StereoSignal x = StereoSignal::Music(128, 48000.0, 0.5, 141);
        StereoSignal out(128);
        plug.ProcessBlock(x, nullptr, 0, 128, out);
        // Released here without setActive (false) and without terminate.
    }
    EXPECT_EQ(host.RefCount(), 1u);
}

}   // namespace
