#include "TestPlug.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

bool TryLockFromAnotherThread(std::recursive_mutex& m)
{
    std::atomic<bool> locked{false};
    std::thread t([&] {
        if (m.try_lock()) {
            locked = true;
            m.unlock();
        }
    });
    t.join();
    return locked;
}

}   // namespace

// ---- channel configurations ----

TEST(PlugCoreChannels, IoStringGivesConfigurationsAndPorts)
{
    TestPlug plug;
    ASSERT_EQ(plug.ChannelConfigCount(), 2);
    EXPECT_EQ(plug.ChannelConfigAt(0).inputs, 2);
    EXPECT_EQ(plug.ChannelConfigAt(0).outputs, 2);
    EXPECT_EQ(plug.ChannelConfigAt(1).inputs, 4);
    EXPECT_EQ(plug.ChannelConfigAt(1).outputs, 2);
    EXPECT_EQ(plug.InputCount(), 4);
    EXPECT_EQ(plug.OutputCount(), 2);
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_FALSE(plug.InputPortAt(i).connected);
        EXPECT_EQ(plug.InputPortAt(i).sourceSlot, &plug.InputPointers()[i]);
    }
    for (int32_t i = 0; i < 2; ++i) {
        EXPECT_FALSE(plug.OutputPortAt(i).connected);
        EXPECT_EQ(plug.OutputPortAt(i).destSlot, &plug.OutputPointers()[i]);
    }
}

TEST(PlugCoreChannels, PortCountsAreTheLargestSeen)
{
    TestPlug plug(0, "1-1 6-2 2-8");
    EXPECT_EQ(plug.ChannelConfigCount(), 3);
    EXPECT_EQ(plug.InputCount(), 6);
    EXPECT_EQ(plug.OutputCount(), 8);
}

TEST(PlugCoreChannels, UnparsedFieldsStayZero)
{
    TestPlug plug(0, "2-x 3-3");
    ASSERT_EQ(plug.ChannelConfigCount(), 2);
    EXPECT_EQ(plug.ChannelConfigAt(0).inputs, 2);
    EXPECT_EQ(plug.ChannelConfigAt(0).outputs, 0);
    EXPECT_EQ(plug.ChannelConfigAt(1).inputs, 3);
}

TEST(PlugCoreChannels, LegalIO)
{
    TestPlug plug;
    EXPECT_TRUE(plug.LegalIO(2, 2));
    EXPECT_TRUE(plug.LegalIO(4, 2));
    EXPECT_FALSE(plug.LegalIO(2, 1));
    EXPECT_FALSE(plug.LegalIO(1, 1));
    EXPECT_FALSE(plug.LegalIO(4, 4));
    EXPECT_FALSE(plug.LegalIO(2, 4));   // both counts must match the same pair
    EXPECT_TRUE(plug.LegalIO(-1, -1));
    EXPECT_TRUE(plug.LegalIO(-1, 2));
    EXPECT_TRUE(plug.LegalIO(4, -1));
    EXPECT_FALSE(plug.LegalIO(3, -1));
    EXPECT_FALSE(plug.LegalIO(-1, 3));
}

// ---- scratch buffers ----

TEST(PlugCoreBuffers, SetMaxBlockSizeClearsOnlyOnChange)
{
    TestPlug plug;
    plug.SetMaxBlockSize(8);
    EXPECT_EQ(plug.MaxBlockSize(), 8);
    plug.MarkChannelsConnected(PortDirection::kInputs, 0, 4, false);
    plug.MarkChannelsConnected(PortDirection::kOutputs, 0, 2, false);
    for (int32_t s = 0; s < 8; ++s) {
        plug.InputPointers()[2][s] = 1.5;
        plug.OutputPointers()[1][s] = -2.5;
    }

    plug.SetMaxBlockSize(8);
    for (int32_t s = 0; s < 8; ++s) {
        EXPECT_EQ(plug.InputPortAt(2).scratch[s], 1.5);
        EXPECT_EQ(plug.OutputPortAt(1).scratch[s], -2.5);
    }

    plug.SetMaxBlockSize(16);
    EXPECT_EQ(plug.MaxBlockSize(), 16);
    for (int32_t i = 0; i < 4; ++i) {
        ASSERT_EQ(plug.InputPortAt(i).scratch.size(), 16u);
        for (double v : plug.InputPortAt(i).scratch)
            EXPECT_EQ(v, 0.0);
    }
    for (int32_t i = 0; i < 2; ++i) {
        ASSERT_EQ(plug.OutputPortAt(i).scratch.size(), 16u);
        for (double v : plug.OutputPortAt(i).scratch)
            EXPECT_EQ(v, 0.0);
    }
    // Unconnected ports must not be left pointing at freed memory.
    EXPECT_EQ(plug.InputPointers()[2], plug.InputPortAt(2).scratch.data());
    EXPECT_EQ(plug.OutputPointers()[1], plug.OutputPortAt(1).scratch.data());
}

TEST(PlugCoreBuffers, ClearScratchBuffersZeroFills)
{
    TestPlug plug;
    plug.SetMaxBlockSize(4);
    plug.MarkChannelsConnected(PortDirection::kInputs, 0, 4, false);
    plug.InputPointers()[0][3] = 9.0;
    plug.ClearScratchBuffers();
    EXPECT_EQ(plug.InputPortAt(0).scratch[3], 0.0);
}

TEST(PlugCoreBuffers, MarkChannelsConnectedClipsItsRange)
{
    TestPlug plug;
    plug.SetMaxBlockSize(4);
    plug.MarkChannelsConnected(PortDirection::kInputs, 2, 10, true);
    EXPECT_FALSE(plug.InputPortAt(0).connected);
    EXPECT_FALSE(plug.InputPortAt(1).connected);
    EXPECT_TRUE(plug.InputPortAt(2).connected);
    EXPECT_TRUE(plug.InputPortAt(3).connected);

    plug.MarkChannelsConnected(PortDirection::kInputs, 0, 1, true);
    EXPECT_TRUE(plug.InputPortAt(0).connected);
    EXPECT_FALSE(plug.InputPortAt(1).connected);

    plug.MarkChannelsConnected(PortDirection::kOutputs, 1, 5, true);
    EXPECT_FALSE(plug.OutputPortAt(0).connected);
    EXPECT_TRUE(plug.OutputPortAt(1).connected);

    plug.MarkChannelsConnected(PortDirection::kInputs, 3, 4, false);
    EXPECT_TRUE(plug.InputPortAt(2).connected);
    EXPECT_FALSE(plug.InputPortAt(3).connected);
    EXPECT_EQ(plug.InputPointers()[3], plug.InputPortAt(3).scratch.data());

    plug.MarkChannelsConnected(PortDirection::kOutputs, 0, 2, false);
    EXPECT_EQ(plug.OutputPointers()[0], plug.OutputPortAt(0).scratch.data());
    EXPECT_EQ(plug.OutputPointers()[1], plug.OutputPortAt(1).scratch.data());
}

TEST(PlugCoreBuffers, Bind32BitInputsConsumesHostBuffersOnlyForConnectedPorts)
{
    TestPlug plug;
    plug.SetMaxBlockSize(4);
    plug.MarkChannelsConnected(PortDirection::kInputs, 0, 2, true);
    plug.MarkChannelsConnected(PortDirection::kInputs, 2, 2, false);

    float left[4] = {0.1f, -0.5f, 0.25f, 1.0f};
    float right[4] = {-0.1f, 0.5f, -0.25f, -1.0f};
    float sentinel[4] = {7.0f, 7.0f, 7.0f, 7.0f};
    float* host[3] = {left, right, sentinel};
    plug.BindInputBuffers(0, 4, host, 4);

    for (int32_t s = 0; s < 4; ++s) {
        EXPECT_EQ(plug.InputPointers()[0][s], static_cast<double>(left[s]));
        EXPECT_EQ(plug.InputPointers()[1][s], static_cast<double>(right[s]));
        EXPECT_EQ(plug.InputPointers()[2][s], 0.0);
        EXPECT_EQ(plug.InputPointers()[3][s], 0.0);
    }
    EXPECT_EQ(plug.InputPointers()[0], plug.InputPortAt(0).scratch.data());
    EXPECT_EQ(plug.InputPointers()[2], plug.InputPortAt(2).scratch.data());
    EXPECT_EQ(plug.InputPointers()[3], plug.InputPortAt(3).scratch.data());

    // With a gap the second host buffer goes to the next connected port.
    plug.MarkChannelsConnected(PortDirection::kInputs, 1, 1, false);
    plug.MarkChannelsConnected(PortDirection::kInputs, 2, 1, true);
    plug.BindInputBuffers(0, 4, host, 4);
    for (int32_t s = 0; s < 4; ++s) {
        EXPECT_EQ(plug.InputPointers()[0][s], static_cast<double>(left[s]));
        EXPECT_EQ(plug.InputPointers()[2][s], static_cast<double>(right[s]));
    }
}

TEST(PlugCoreBuffers, HostCursorSkipsUnconnectedPorts)
{
    TestPlug plug;
    plug.SetMaxBlockSize(2);
    plug.MarkChannelsConnected(PortDirection::kInputs, 0, 4, false);
    plug.MarkChannelsConnected(PortDirection::kInputs, 0, 1, true);
    plug.MarkChannelsConnected(PortDirection::kInputs, 2, 1, true);

    double a[2] = {1.0, 2.0};
    double b[2] = {3.0, 4.0};
    double* host[2] = {a, b};
    plug.BindInputBuffers(0, 4, host, 2);
    EXPECT_EQ(plug.InputPointers()[0], a);
    EXPECT_EQ(plug.InputPointers()[1], plug.InputPortAt(1).scratch.data());
    EXPECT_EQ(plug.InputPointers()[2], b);
    EXPECT_EQ(plug.InputPointers()[3], plug.InputPortAt(3).scratch.data());

    // A bind starting mid-range takes its first host buffer for its first port.
    double c[2] = {5.0, 6.0};
    double* side[1] = {c};
    plug.BindInputBuffers(2, 2, side, 2);
    EXPECT_EQ(plug.InputPointers()[2], c);
    EXPECT_EQ(plug.InputPointers()[0], a);
}

TEST(PlugCoreBuffers, MissingHostBuffersReadSilence)
{
    TestPlug plug;
    plug.SetMaxBlockSize(4);
    plug.MarkChannelsConnected(PortDirection::kInputs, 0, 2, true);
    float ones[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float* host[2] = {ones, ones};
    plug.BindInputBuffers(0, 2, host, 4);

    plug.BindInputBuffers(0, 2, static_cast<float**>(nullptr), 4);
    for (int32_t s = 0; s < 4; ++s) {
        EXPECT_EQ(plug.InputPointers()[0][s], 0.0);
        EXPECT_EQ(plug.InputPointers()[1][s], 0.0);
    }

    plug.BindInputBuffers(0, 2, host, 4);
    float* partial[2] = {ones, nullptr};
    plug.BindInputBuffers(0, 2, partial, 4);
    EXPECT_EQ(plug.InputPointers()[0][0], 1.0);
    EXPECT_EQ(plug.InputPointers()[1][0], 0.0);

    double* none64[2] = {nullptr, nullptr};
    plug.BindInputBuffers(0, 2, none64, 4);
    ASSERT_NE(plug.InputPointers()[0], nullptr);
    EXPECT_EQ(plug.InputPointers()[0][0], 0.0);
}

TEST(PlugCoreBuffers, ThirtyTwoBitRoundTripThroughDefaultProcessBlock)
{
    TestPlug plug;
    plug.SetMaxBlockSize(4);
    plug.MarkChannelsConnected(PortDirection::kInputs, 0, 2, true);
    plug.MarkChannelsConnected(PortDirection::kInputs, 2, 2, false);
    plug.MarkChannelsConnected(PortDirection::kOutputs, 0, 2, true);

    float inL[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    float inR[4] = {-0.1f, -0.2f, -0.3f, -0.4f};
    float outL[4] = {};
    float outR[4] = {};
    float* in[2] = {inL, inR};
    float* out[2] = {outL, outR};
    plug.BindInputBuffers(0, 4, in, 4);
    plug.BindOutputBuffers(0, 2, out);
    EXPECT_EQ(plug.OutputPointers()[0], plug.OutputPortAt(0).scratch.data());
    EXPECT_EQ(plug.OutputPortAt(1).dest32, outR);

    plug.ProcessBlock(plug.InputPointers(), plug.OutputPointers(), 4);
    plug.ConvertOutputsTo32(4);
    for (int32_t s = 0; s < 4; ++s) {
        EXPECT_EQ(outL[s], inL[s]);
        EXPECT_EQ(outR[s], inR[s]);
    }
}

TEST(PlugCoreBuffers, SixtyFourBitOutputsPointAtHostBuffers)
{
    TestPlug plug;
    plug.SetMaxBlockSize(4);
    plug.MarkChannelsConnected(PortDirection::kOutputs, 0, 2, true);
    double l[4], r[4];
    double* out[2] = {l, r};
    plug.BindOutputBuffers(0, 2, out);
    EXPECT_EQ(plug.OutputPointers()[0], l);
    EXPECT_EQ(plug.OutputPointers()[1], r);
    EXPECT_EQ(plug.OutputPortAt(0).dest32, nullptr);
}

// The one-pass binding against marking and binding port by port, from the
// same earlier state: the same flags, the same slots, the same samples.
namespace {

template <typename T>
struct HostChannels {
    std::vector<std::vector<T>> memory;
    std::vector<T*> perPort;   // what each port would take, null for a missing channel
};

template <typename T>
HostChannels<T> RandomChannels(std::mt19937& rng, int32_t n, int32_t frames)
{
    HostChannels<T> h;
    h.memory.resize(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        auto& m = h.memory[static_cast<size_t>(i)];
        for (int32_t s = 0; s < frames; ++s)
            m.push_back(static_cast<T>(std::uniform_real_distribution<double>(-1.0, 1.0)(rng)));
        h.perPort.push_back(rng() % 4 == 0 ? nullptr : m.data());
    }
    return h;
}

// Port by port: each port marked, then one bind over all of them with the
// connected ports' channels packed in order.
template <typename T>
void MarkAndBindInputs(TestPlug& plug, int32_t n, uint64_t mask, const std::vector<T*>& perPort, int32_t frames)
{
    std::vector<T*> packed;
    for (int32_t i = 0; i < n; ++i) {
        const bool on = (mask >> i) & 1u;
        plug.MarkChannelsConnected(PortDirection::kInputs, i, 1, on);
        if (on)
            packed.push_back(perPort[static_cast<size_t>(i)]);
    }
    packed.push_back(nullptr);   // never empty
    plug.BindInputBuffers(0, n, packed.data(), frames);
}

template <typename T>
void MarkAndBindOutputs(TestPlug& plug, int32_t n, uint64_t mask, const std::vector<T*>& perPort)
{
    std::vector<T*> packed;
    for (int32_t i = 0; i < n; ++i) {
        const bool on = (mask >> i) & 1u;
        plug.MarkChannelsConnected(PortDirection::kOutputs, i, 1, on);
        if (on)
            packed.push_back(perPort[static_cast<size_t>(i)]);
    }
    packed.push_back(nullptr);
    plug.BindOutputBuffers(0, n, packed.data());
}

// Slots compared as "its own scratch" or the same host pointer.
void ExpectSameBinding(const TestPlug& a, const TestPlug& b, int32_t frames, const std::string& where)
{
    auto& ma = const_cast<TestPlug&>(a);
    auto& mb = const_cast<TestPlug&>(b);
    for (int32_t i = 0; i < a.InputCount(); ++i) {
        const InputPort& pa = a.InputPortAt(i);
        const InputPort& pb = b.InputPortAt(i);
        ASSERT_EQ(pa.connected, pb.connected) << where << " input " << i;
        const double* sa = ma.InputPointers()[i];
        const double* sb = mb.InputPointers()[i];
        ASSERT_EQ(sa == pa.scratch.data(), sb == pb.scratch.data()) << where << " input " << i;
        if (sa != pa.scratch.data()) {
            ASSERT_EQ(sa, sb) << where << " input " << i;
        }
        for (int32_t s = 0; s < frames; ++s)
            ASSERT_EQ(sa[s], sb[s]) << where << " input " << i << " sample " << s;
    }
    for (int32_t i = 0; i < a.OutputCount(); ++i) {
        const OutputPort& pa = a.OutputPortAt(i);
        const OutputPort& pb = b.OutputPortAt(i);
        ASSERT_EQ(pa.connected, pb.connected) << where << " output " << i;
        ASSERT_EQ(pa.dest32, pb.dest32) << where << " output " << i;
        const double* da = ma.OutputPointers()[i];
        const double* db = mb.OutputPointers()[i];
        ASSERT_EQ(da == pa.scratch.data(), db == pb.scratch.data()) << where << " output " << i;
        if (da != pa.scratch.data()) {
            ASSERT_EQ(da, db) << where << " output " << i;
        }
    }
}

template <typename T>
void BindRandomlyBothWays(uint32_t seed)
{
    std::mt19937 rng(seed);
    TestPlug marked(3, "6-4 2-2");
    TestPlug onePass(3, "6-4 2-2");
    for (TestPlug* p : {&marked, &onePass}) {
        p->SetMaxBlockSize(8);
        p->MarkChannelsConnected(PortDirection::kInputs, 0, 6, true);
        p->MarkChannelsConnected(PortDirection::kOutputs, 0, 4, true);
    }
    std::deque<HostChannels<T>> kept;
    for (int trial = 0; trial < 300; ++trial) {
        const std::string where = "seed " + std::to_string(seed) + " trial " + std::to_string(trial);
        // Now and then a count beyond the ports, or short of them.
        const int32_t nIn = static_cast<int32_t>(rng() % 8);
        const int32_t nOut = static_cast<int32_t>(rng() % 6);
        const int32_t frames = static_cast<int32_t>(rng() % 9);
        const uint64_t inMask = rng() & 0x3F;
        const uint64_t outMask = rng() & 0xF;
        // Kept to the end: ports beyond a trial's count still point at an
        // earlier trial's channels.
        kept.push_back(RandomChannels<T>(rng, 8, 8));
        const HostChannels<T>& in = kept.back();
        kept.push_back(RandomChannels<T>(rng, 6, 8));
        const HostChannels<T>& out = kept.back();

        MarkAndBindInputs(marked, nIn, inMask, in.perPort, frames);
        MarkAndBindOutputs(marked, nOut, outMask, out.perPort);
        onePass.BindInputPorts(nIn, inMask, in.perPort.data(), frames);
        onePass.BindOutputPorts(nOut, outMask, out.perPort.data());
        ExpectSameBinding(marked, onePass, frames, where);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

}   // namespace

TEST(PlugCoreBuffers, OnePassBindingEqualsMarkingAndBindingPortByPort)
{
    for (uint32_t seed : {1u, 2u, 3u}) {
        BindRandomlyBothWays<float>(seed);
        BindRandomlyBothWays<double>(seed + 100);
    }
}

TEST(PlugCoreBuffers, OnePassBindingNeverKeepsAPointerOfTheLastBlock)
{
    TestPlug plug;
    plug.SetMaxBlockSize(4);
    double l[4] = {1.0, 2.0, 3.0, 4.0};
    double r[4] = {5.0, 6.0, 7.0, 8.0};
    double* in[4] = {l, r, l, r};
    double* out[2] = {l, r};
    plug.BindInputPorts(4, 0xF, in, 4);
    plug.BindOutputPorts(2, 0x3, out);
    EXPECT_EQ(plug.InputPointers()[1], r);
    EXPECT_EQ(plug.OutputPointers()[0], l);

    // Null channels, then unconnected ports: scratch every time, inputs silent.
    double* none[4] = {nullptr, nullptr, nullptr, nullptr};
    plug.BindInputPorts(4, 0xF, none, 4);
    plug.BindOutputPorts(2, 0x3, none);
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(plug.InputPointers()[i], plug.InputPortAt(i).scratch.data()) << i;
        EXPECT_EQ(plug.InputPointers()[i][3], 0.0) << i;
    }
    EXPECT_EQ(plug.OutputPointers()[0], plug.OutputPortAt(0).scratch.data());
    EXPECT_EQ(plug.OutputPointers()[1], plug.OutputPortAt(1).scratch.data());

    plug.BindInputPorts(4, 0xF, in, 4);
    plug.BindOutputPorts(2, 0x3, out);
    plug.BindInputPorts(4, 0x0, in, 4);
    plug.BindOutputPorts(2, 0x0, out);
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_FALSE(plug.InputPortAt(i).connected) << i;
        EXPECT_EQ(plug.InputPointers()[i], plug.InputPortAt(i).scratch.data()) << i;
    }
    for (int32_t i = 0; i < 2; ++i) {
        EXPECT_FALSE(plug.OutputPortAt(i).connected) << i;
        EXPECT_EQ(plug.OutputPointers()[i], plug.OutputPortAt(i).scratch.data()) << i;
        EXPECT_EQ(plug.OutputPortAt(i).dest32, nullptr) << i;
    }

    // 32-bit outputs keep the host pointer only as the place to convert to.
    float fl[4] = {};
    float* out32[2] = {fl, nullptr};
    plug.BindOutputPorts(2, 0x3, out32);
    EXPECT_EQ(plug.OutputPointers()[0], plug.OutputPortAt(0).scratch.data());
    EXPECT_EQ(plug.OutputPortAt(0).dest32, fl);
    EXPECT_EQ(plug.OutputPortAt(1).dest32, nullptr);
}

// ---- default processing and pass-through ----

TEST(PlugCoreProcess, DefaultCopiesMatchingChannels)
{
    TestPlug plug;
    double in[4][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
    double out[2][3] = {};
    double* ins[4] = {in[0], in[1], in[2], in[3]};
    double* outs[2] = {out[0], out[1]};
    plug.ProcessBlock(ins, outs, 3);
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ(out[0][s], in[0][s]);
        EXPECT_EQ(out[1][s], in[1][s]);
    }
}

TEST(PlugCoreProcess, DefaultZeroFillsOutputsWithoutAnInput)
{
    TestPlug plug(0, "1-2");
    double in[3] = {1, 2, 3};
    double out[2][3] = {{9, 9, 9}, {9, 9, 9}};
    double* ins[1] = {in};
    double* outs[2] = {out[0], out[1]};
    plug.ProcessBlock(ins, outs, 3);
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ(out[0][s], in[s]);
        EXPECT_EQ(out[1][s], 0.0);
    }
}

TEST(PlugCoreProcess, PassThroughWithoutLatencyCopies)
{
    TestPlug plug;
    plug.CreateLatencyDelay();
    plug.SetMaxBlockSize(4);
    plug.MarkChannelsConnected(PortDirection::kInputs, 0, 4, true);
    plug.MarkChannelsConnected(PortDirection::kOutputs, 0, 2, true);
    double l[4] = {1, 2, 3, 4}, r[4] = {5, 6, 7, 8}, sl[4] = {}, sr[4] = {};
    double ol[4] = {}, orr[4] = {};
    double* in[4] = {l, r, sl, sr};
    double* out[2] = {ol, orr};
    plug.BindInputBuffers(0, 4, in, 4);
    plug.BindOutputBuffers(0, 2, out);
    plug.PassThroughBlock(4);
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(ol[s], l[s]);
        EXPECT_EQ(orr[s], r[s]);
    }
}

TEST(PlugCoreProcess, PassThroughDelaysByTheLatencyAcrossBlocks)
{
    TestPlug plug;
    plug.CreateLatencyDelay();
    ASSERT_NE(plug.GetLatencyDelay(), nullptr);
    plug.SetLatencySamples(3);
    EXPECT_EQ(plug.LatencySamples(), 3);
    EXPECT_EQ(plug.GetLatencyDelay()->Delay(), 3);
    plug.SetMaxBlockSize(8);
    plug.MarkChannelsConnected(PortDirection::kInputs, 0, 4, true);
    plug.MarkChannelsConnected(PortDirection::kOutputs, 0, 2, true);

    double l[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    double r[8] = {0, 0, 0, 0, 0, 0, 0, 2};
    double z[8] = {};
    double ol[8], orr[8];
    double* in[4] = {l, r, z, z};
    double* out[2] = {ol, orr};
    plug.BindInputBuffers(0, 4, in, 8);
    plug.BindOutputBuffers(0, 2, out);
    plug.PassThroughBlock(8);
    for (int s = 0; s < 8; ++s) {
        EXPECT_EQ(ol[s], s == 3 ? 1.0 : 0.0) << s;
        EXPECT_EQ(orr[s], 0.0) << s;
    }

    // The right impulse at sample 7 comes out at sample 2 of the next block.
    double silence[8] = {};
    double* in2[4] = {silence, silence, z, z};
    plug.BindInputBuffers(0, 4, in2, 8);
    plug.PassThroughBlock(8);
    for (int s = 0; s < 8; ++s) {
        EXPECT_EQ(ol[s], 0.0) << s;
        EXPECT_EQ(orr[s], s == 2 ? 2.0 : 0.0) << s;
    }
}

TEST(PlugCoreProcess, DelayedPassThroughLeavesExtraOutputsAlone)
{
    TestPlug plug(0, "1-2");
    plug.CreateLatencyDelay();
    plug.SetLatencySamples(1);
    plug.SetMaxBlockSize(3);
    plug.MarkChannelsConnected(PortDirection::kInputs, 0, 1, true);
    plug.MarkChannelsConnected(PortDirection::kOutputs, 0, 2, true);
    double in[3] = {1, 2, 3};
    double o0[3] = {9, 9, 9}, o1[3] = {9, 9, 9};
    double* ins[1] = {in};
    double* outs[2] = {o0, o1};
    plug.BindInputBuffers(0, 1, ins, 3);
    plug.BindOutputBuffers(0, 2, outs);
    plug.PassThroughBlock(3);
    EXPECT_EQ(o0[0], 0.0);
    EXPECT_EQ(o0[1], 1.0);
    EXPECT_EQ(o0[2], 2.0);
    for (double v : o1)
        EXPECT_EQ(v, 9.0);
}

TEST(PlugCoreProcess, DelayedPassThroughWorksInPlace)
{
    TestPlug plug(0, "1-1");
    plug.CreateLatencyDelay();
    plug.SetLatencySamples(2);
    plug.SetMaxBlockSize(4);
    plug.MarkChannelsConnected(PortDirection::kInputs, 0, 1, true);
    plug.MarkChannelsConnected(PortDirection::kOutputs, 0, 1, true);
    double buf[4] = {1, 2, 3, 4};
    double* io[1] = {buf};
    plug.BindInputBuffers(0, 1, io, 4);
    plug.BindOutputBuffers(0, 1, io);
    plug.PassThroughBlock(4);
    EXPECT_EQ(buf[0], 0.0);
    EXPECT_EQ(buf[1], 0.0);
    EXPECT_EQ(buf[2], 1.0);
    EXPECT_EQ(buf[3], 2.0);
}

// ---- editor-originated changes and editor attachment ----

TEST(PlugCoreEditor, SetParameterFromEditorRoundsButReportsTheRawValue)
{
    TestPlug plug(2);
    plug.ParamAt(1)->InitInteger("Choice", 0, 0, 5, "", "");
    bool lockedElsewhere = true;
    plug.onPerform = [&] { lockedElsewhere = TryLockFromAnotherThread(plug.Mutex()); };

    plug.SetParameterFromEditor(1, 0.5);
    EXPECT_EQ(plug.ParamAt(1)->Value(), 3.0);
    ASSERT_EQ(plug.performed.size(), 1u);
    EXPECT_EQ(plug.performed[0].first, 1);
    EXPECT_EQ(plug.performed[0].second, 0.5);
    EXPECT_TRUE(plug.performedBeforeChanged);
    ASSERT_EQ(plug.changed.size(), 1u);
    EXPECT_EQ(plug.changed[0], 1);
    EXPECT_FALSE(lockedElsewhere);   // done under the plug mutex
}

TEST(PlugCoreEditor, SetParameterFromEditorIgnoresUnknownIndices)
{
    TestPlug plug(2);
    plug.SetParameterFromEditor(2, 0.5);
    plug.SetParameterFromEditor(-1, 0.5);
    EXPECT_TRUE(plug.performed.empty());
    EXPECT_TRUE(plug.changed.empty());
}

TEST(PlugCoreEditor, AttachNothingChangesNothing)
{
    TestPlug plug(2);
    plug.AttachEditor(nullptr);
    EXPECT_EQ(plug.GetEditor(), nullptr);
    EXPECT_TRUE(plug.changed.empty());

    EditorLog log;
    auto* editor = new FakeEditor(log);
    plug.AttachEditor(editor);
    plug.AttachEditor(nullptr);
    EXPECT_EQ(plug.GetEditor(), editor);
}

TEST(PlugCoreEditor, AttachPushesNormalizedValuesThenPreparesThenStores)
{
    TestPlug plug(3);
    plug.ParamAt(0)->InitContinuous("a", -9.0, -18.0, 18.0, 0.01, "", "", 1.0);
    plug.ParamAt(1)->InitInteger("b", 4, 0, 5, "", "");
    plug.ParamAt(2)->InitContinuous("c", 0.25, 0.0, 1.0, 0.01, "", "", 2.0);

    EditorLog log;
    auto* editor = new FakeEditor(log, 0, &plug);
    bool lockedElsewhere = true;
    editor->onPush = [&] { lockedElsewhere = TryLockFromAnotherThread(plug.Mutex()); };
    plug.AttachEditor(editor);

    ASSERT_EQ(log.pushes.size(), 3u);
    const double expected[3] = {0.25, 0.8, 0.5};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(log.pushes[i].paramIdx, i);
        EXPECT_DOUBLE_EQ(log.pushes[i].value, expected[i]);
        EXPECT_TRUE(log.pushes[i].normalized);
    }
    EXPECT_EQ(log.prepareCalls, 1);
    EXPECT_TRUE(log.pushedBeforePrepare);
    EXPECT_FALSE(log.editorStoredDuringPrepare);
    EXPECT_EQ(plug.GetEditor(), editor);
    EXPECT_FALSE(lockedElsewhere);
}

TEST(PlugCoreEditor, RefreshPushesPlainValues)
{
    TestPlug plug(2);
    plug.RefreshEditorControls();   // no editor: nothing to do

    plug.ParamAt(0)->InitContinuous("a", -9.0, -18.0, 18.0, 0.01, "", "", 1.0);
    plug.ParamAt(1)->InitInteger("b", 4, 0, 5, "", "");
    EditorLog log;
    plug.AttachEditor(new FakeEditor(log));
    log.pushes.clear();

    plug.RefreshEditorControls();
    ASSERT_EQ(log.pushes.size(), 2u);
    EXPECT_EQ(log.pushes[0].paramIdx, 0);
    EXPECT_EQ(log.pushes[0].value, -9.0);
    EXPECT_FALSE(log.pushes[0].normalized);
    EXPECT_EQ(log.pushes[1].paramIdx, 1);
    EXPECT_EQ(log.pushes[1].value, 4.0);
    EXPECT_FALSE(log.pushes[1].normalized);
}

// ---- the plug mutex ----

TEST(PlugCoreMutex, IsRecursiveAndHeldWhileRestoringState)
{
    TestPlug plug(3);
    StateChunk chunk;
    ASSERT_TRUE(plug.SerializeParams(chunk));

    int calls = 0;
    bool reentered = false;
    bool lockedElsewhere = false;
    plug.onParamChanged = [&](int32_t) {
        ++calls;
        if (plug.Mutex().try_lock()) {
            reentered = true;
            plug.Mutex().unlock();
        }
        lockedElsewhere = lockedElsewhere || TryLockFromAnotherThread(plug.Mutex());
    };
    plug.UnserializeParams(chunk, 0);
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(reentered);
    EXPECT_FALSE(lockedElsewhere);
    EXPECT_TRUE(TryLockFromAnotherThread(plug.Mutex()));   // released afterwards
}

// ---- identity ----

TEST(PlugCoreIdentity, ConstructorArgumentsAndInitialSettings)
{
    const std::string longName(200, 'n');
    TestPlug plug(4, "2-2", 2);
    EXPECT_STREQ(plug.EffectName(), "Test");
    EXPECT_STREQ(plug.ProductName(), "");
    EXPECT_STREQ(plug.MakerName(), "Maker");
    EXPECT_EQ(plug.UniqueId(), 0x54737431);   // 'Tst1'
    EXPECT_EQ(plug.MakerId(), 0x4D6B7231);   // 'Mkr1'
    EXPECT_EQ(plug.Version(), 0x10000);
    EXPECT_EQ(plug.ApiKind(), 1);
    EXPECT_EQ(plug.HostKind(), -1);
    EXPECT_EQ(plug.HostVersion(), 0);
    EXPECT_FALSE(plug.IsInstrument());
    EXPECT_FALSE(plug.HandlesMidi());
    EXPECT_FALSE(plug.IsBypassed());
    EXPECT_EQ(plug.CurrentPreset(), 0);
    EXPECT_EQ(plug.SampleRate(), 44100.0);
    EXPECT_EQ(plug.MaxBlockSize(), 0);
    EXPECT_EQ(plug.LatencySamples(), 0);
    EXPECT_EQ(plug.TailSamples(), 0);
    EXPECT_EQ(plug.GetEditor(), nullptr);
    EXPECT_EQ(plug.ParamCount(), 4);
    for (int32_t i = 0; i < 4; ++i)
        EXPECT_EQ(plug.ParamAt(i)->Kind(), kParamNone);
    EXPECT_EQ(plug.ParamAt(4), nullptr);
    EXPECT_EQ(plug.ParamAt(-1), nullptr);
    ASSERT_EQ(plug.PresetCount(), 2);
    EXPECT_STREQ(plug.PresetAt(0)->name, "empty");
    EXPECT_FALSE(plug.PresetAt(1)->initialised);
    EXPECT_EQ(plug.PresetAt(2), nullptr);

    // Over-long names are cut at the 128-byte arrays.
    struct Named : PlugCore {
        explicit Named(const char* n) : PlugCore(0, "2-2", 0, n, n, n, 0, 0, 0, 1) {}
        void BeginParamEdit(int32_t) override {}
        void PerformParamEdit(int32_t, double) override {}
        void EndParamEdit(int32_t) override {}
        int32_t GetHostSamplePos() override { return 0; }
        double GetHostTempo() override { return 0.0; }
        void GetHostTimeSig(int32_t*, int32_t*) override {}
        void GetHostTimeInfo(TransportInfo*) override {}
        void ResizeEditor(int32_t, int32_t) override {}
        bool EmitMidiEvent(const MidiEvent&) override { return false; }
    };
    Named named(longName.c_str());
    EXPECT_EQ(std::string(named.EffectName()), std::string(127, 'n'));
    EXPECT_EQ(std::string(named.MakerName()), std::string(127, 'n'));
}
