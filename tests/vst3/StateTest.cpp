// Saving and loading the plug's state through host streams.
#include "HostedPlugin.h"
#include "LimitedReadStream.h"

#include "public.sdk/source/common/memorystream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr ParamID kBypassId = 0x62706173;
const double kDefaults[9] = {0.0, 0.0, 0.0, 2.0, 0.0, 20.0, 100.0, 1.0, 0.0};

std::vector<uint8_t> Blob(const std::vector<double>& values, int32_t bypassWord, bool withWord = true)
{
    std::vector<uint8_t> bytes;
    for (double v : values) {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        for (int b = 0; b < 8; ++b)
            bytes.push_back(static_cast<uint8_t>(bits >> (8 * b)));
    }
    if (withWord) {
        const uint32_t w = static_cast<uint32_t>(bypassWord);
        for (int b = 0; b < 4; ++b)
            bytes.push_back(static_cast<uint8_t>(w >> (8 * b)));
    }
    return bytes;
}

double ValueAt(const std::vector<uint8_t>& blob, int idx)
{
    uint64_t bits = 0;
    for (int b = 0; b < 8; ++b)
        bits |= static_cast<uint64_t>(blob[static_cast<size_t>(idx * 8 + b)]) << (8 * b);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

// A host stream that takes at most `room` bytes and then either reports
// success for what it took (a full disk seen through a lenient wrapper) or
// reports failure.
class CappedWriteStream : public MemoryStream {
public:
    CappedWriteStream(TSize room, bool failWhenFull) : room(room), failWhenFull(failWhenFull) {}
    tresult PLUGIN_API write(void* buffer, int32 numBytes, int32* numBytesWritten) SMTG_OVERRIDE
    {
        const TSize left = room - getSize();
        const int32 n = static_cast<int32>(std::max<TSize>(0, std::min<TSize>(numBytes, left)));
        int32 done = 0;
        if (n > 0 && MemoryStream::write(buffer, n, &done) != kResultOk)
            done = 0;
        if (numBytesWritten)
            *numBytesWritten = done;
        return (done < numBytes && failWhenFull) ? kResultFalse : kResultOk;
    }

private:
    TSize room;
    bool failWhenFull;
};

class StateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(plug.Valid());
        HostedPlugin::Setup setup;
        setup.maxBlock = 256;
        ASSERT_TRUE(plug.Prepare(setup));
    }
    void SetBypass(bool on)
    {
        ParameterChanges changes;
        changes.Add(kBypassId, on ? 1.0 : 0.0);
        plug.Apply(changes);
        ASSERT_EQ(plug.Controller()->getParamNormalized(kBypassId), on ? 1.0 : 0.0);
    }
    HostedPlugin plug;
};

TEST_F(StateTest, DefaultStateIsSeventySixBytes)
{
    const std::vector<uint8_t> blob = plug.SaveState();
    EXPECT_EQ(blob, Blob(std::vector<double>(kDefaults, kDefaults + 9), 0));
    EXPECT_EQ(blob.size(), 76u);

    SetBypass(true);
    const std::vector<uint8_t> bypassed = plug.SaveState();
    ASSERT_EQ(bypassed.size(), 76u);
    EXPECT_EQ(std::vector<uint8_t>(bypassed.begin() + 72, bypassed.end()), (std::vector<uint8_t>{1, 0, 0, 0}));

    // Values are stored in plain units.
    ASSERT_EQ(plug.Controller()->setParamNormalized(4, 0.5), kResultOk);
    ASSERT_EQ(plug.Controller()->setParamNormalized(0, 0.25), kResultOk);
    const std::vector<uint8_t> edited = plug.SaveState();
    EXPECT_EQ(ValueAt(edited, 4), 3.0);
    EXPECT_EQ(ValueAt(edited, 0), -9.0);

    // Written after what the stream already holds, as hosts chain chunks.
    IPtr<MemoryStream> stream = owned(new MemoryStream);
    int32 written = 0;
    char header[5] = "HDR!";
    stream->write(header, 4, &written);
    ASSERT_EQ(plug.Controller()->getState(stream), kResultOk);
    EXPECT_EQ(stream->getSize(), 80);
}

TEST_F(StateTest, FullBlobSetsEveryParameterAndTheBypass)
{
    const std::vector<double> values = {-6.0, 3.5, 20.0, 4.0, 2.0, 120.0, 50.0, 0.0, 1.0};
    ASSERT_EQ(plug.LoadState(Blob(values, 1)), kResultOk);
    EXPECT_EQ(plug.SaveState(), Blob(values, 1));
    EXPECT_EQ(plug.Controller()->getParamNormalized(kBypassId), 1.0);
    EXPECT_NEAR(plug.Controller()->getParamNormalized(0), 12.0 / 36.0, 1e-15);

    ASSERT_EQ(plug.LoadState(Blob(values, 0)), kResultOk);
    EXPECT_EQ(plug.Controller()->getParamNormalized(kBypassId), 0.0);
    // Any non-zero word means bypassed.
    ASSERT_EQ(plug.LoadState(Blob(values, 0x100)), kResultOk);
    EXPECT_EQ(plug.Controller()->getParamNormalized(kBypassId), 1.0);
}

TEST_F(StateTest, OutOfRangeAndNonFiniteValuesAreLimited)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ASSERT_EQ(plug.LoadState(Blob({100.0, -inf, inf, nan, 7.0, -5.0, nan, 9.0, -1.0}, 0)), kResultOk);
    const std::vector<uint8_t> blob = plug.SaveState();
    ASSERT_EQ(blob.size(), 76u);
    const double mins[9] = {-18, -18, 0, 1, 0, 20, 0, 0, 0};
    const double maxs[9] = {18, 18, 50, 10, 5, 500, 100, 1, 1};
    for (int i = 0; i < 9; ++i) {
        const double v = ValueAt(blob, i);
        EXPECT_TRUE(v >= mins[i] && v <= maxs[i]) << "parameter " << i << " holds " << v;
    }
    EXPECT_EQ(ValueAt(blob, 0), 18.0);
    EXPECT_EQ(ValueAt(blob, 1), -18.0);
    EXPECT_EQ(ValueAt(blob, 2), 50.0);
    EXPECT_EQ(ValueAt(blob, 4), 5.0);
    EXPECT_EQ(ValueAt(blob, 5), 20.0);
    EXPECT_EQ(ValueAt(blob, 7), 1.0);
    EXPECT_EQ(ValueAt(blob, 8), 0.0);

    // The engine must not be poisoned by what it was given.
    const StereoSignal in = StereoSignal::Music(4800, 48000.0, 0.5, 11);
    const StereoSignal out = plug.Render(in, nullptr, {256});
    EXPECT_TRUE(out.AllFinite());
    EXPECT_FALSE(plug.GuardFault());
}

TEST_F(StateTest, ShortBlobKeepsTheLaterParametersAndFollowsTheStreamForTheBypass)
{
    // Current values 5..8 away from the defaults.
    ASSERT_EQ(plug.Controller()->setParamNormalized(5, 0.5), kResultOk);   // 260
    ASSERT_EQ(plug.Controller()->setParamNormalized(6, 0.25), kResultOk);   // 25
    ASSERT_EQ(plug.Controller()->setParamNormalized(7, 0.0), kResultOk);
    ASSERT_EQ(plug.Controller()->setParamNormalized(8, 1.0), kResultOk);
    SetBypass(true);

    // 40 bytes from a memory stream: it reports success for the missing
    // bypass word, which then reads as 0.
    const std::vector<double> first = {-3.0, 4.0, 10.0, 5.0, 1.0};
    ASSERT_EQ(plug.LoadState(Blob(first, 0, false)), kResultOk);
    EXPECT_EQ(plug.SaveState(), Blob({-3.0, 4.0, 10.0, 5.0, 1.0, 260.0, 25.0, 0.0, 1.0}, 0));

    // The same 40 bytes from a stream that fails once it is exhausted: the
    // parameters are applied, the load fails, the bypass stays as it was.
    SetBypass(true);
    const std::vector<double> second = {6.0, -6.0, 30.0, 8.0, 2.0};
    LimitedReadStream failing(Blob(second, 0, false), 40);
    EXPECT_EQ(plug.Controller()->setState(&failing), kResultFalse);
    EXPECT_EQ(plug.SaveState(), Blob({6.0, -6.0, 30.0, 8.0, 2.0, 260.0, 25.0, 0.0, 1.0}, 1));
    EXPECT_EQ(failing.RefCount(), 1u);
}

TEST_F(StateTest, FailingBypassReadAfterAFullParameterBlock)
{
    const std::vector<double> values = {1.0, 2.0, 3.0, 4.0, 3.0, 40.0, 60.0, 1.0, 0.0};
    LimitedReadStream failing(Blob(values, 1), 72);
    EXPECT_EQ(plug.Controller()->setState(&failing), kResultFalse);
    EXPECT_EQ(plug.SaveState(), Blob(values, 0));
    EXPECT_EQ(failing.Position(), 72u);

    // An empty stream: nothing arrives, nothing changes, the load fails.
    LimitedReadStream empty({}, 0);
    EXPECT_EQ(plug.Controller()->setState(&empty), kResultFalse);
    EXPECT_EQ(plug.SaveState(), Blob(values, 0));
}

// A save the host's stream did not take whole is no save: the host must not
// keep a blob that cannot be loaded again.
TEST_F(StateTest, ASaveTheStreamDidNotTakeWholeFails)
{
    SetBypass(true);
    const std::vector<uint8_t> full = plug.SaveState();
    ASSERT_EQ(full.size(), 76u);
    for (bool failWhenFull : {false, true}) {
        for (TSize room : {0, 10, 72, 75}) {
            IPtr<CappedWriteStream> stream = owned(new CappedWriteStream(room, failWhenFull));
            EXPECT_EQ(plug.Controller()->getState(stream), kResultFalse)
                << room << " bytes of room, " << (failWhenFull ? "failing" : "lenient");
            EXPECT_LE(stream->getSize(), room);
        }
        IPtr<CappedWriteStream> roomy = owned(new CappedWriteStream(76, failWhenFull));
        ASSERT_EQ(plug.Controller()->getState(roomy), kResultOk);
        ASSERT_EQ(roomy->getSize(), 76);
        const auto* bytes = reinterpret_cast<const uint8_t*>(roomy->getData());
        EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 76), full);
    }
    // A failed save changed nothing in the plug.
    EXPECT_EQ(plug.SaveState(), full);
}

TEST(StateRoundTripTest, FreshInstanceGivesTheSameBytesAndTheSameAudio)
{
    const StereoSignal in = StereoSignal::Music(24000, 48000.0, 0.8, 5);
    HostedPlugin::Setup setup;
    setup.sampleSize = kSample64;
    setup.maxBlock = 480;

    HostedPlugin a;
    ASSERT_TRUE(a.Valid());
    ASSERT_TRUE(a.Prepare(setup));
    ParameterChanges changes;
    changes.Add(0, 0.7);   // Input Atten
    changes.Add(2, 0.6);   // AC Threshold 30
    changes.Add(3, 0.5);   // ratio 5.5
    changes.Add(4, 0.8);   // Release 4
    changes.Add(5, 0.1);   // HPF 68
    changes.Add(6, 0.8);   // MIX 80
    a.Apply(changes);
    const std::vector<uint8_t> blob = a.SaveState();
    ASSERT_EQ(blob.size(), 76u);

    HostedPlugin b;
    ASSERT_TRUE(b.Valid());
    ASSERT_TRUE(b.Prepare(setup));
    ASSERT_EQ(b.LoadState(blob), kResultOk);
    EXPECT_EQ(b.SaveState(), blob);
    for (ParamID id = 0; id < 9; ++id)
        EXPECT_EQ(b.Controller()->getParamNormalized(id), a.Controller()->getParamNormalized(id)) << id;

    // The restored values reach the engine, not only the records.
    const StereoSignal outA = a.Render(in, nullptr, {480});
    const StereoSignal outB = b.Render(in, nullptr, {480});
    EXPECT_EQ(outA.left, outB.left);
    EXPECT_EQ(outA.right, outB.right);

    HostedPlugin c;
    ASSERT_TRUE(c.Valid());
    ASSERT_TRUE(c.Prepare(setup));
    const StereoSignal outDefault = c.Render(in, nullptr, {480});
    EXPECT_NE(outDefault.left, outA.left);
}

}   // namespace
