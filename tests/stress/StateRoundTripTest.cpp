// The state blob through the bundle: random settings survive a save and a
// load into a fresh instance, byte for byte and in the audio; blobs of any
// length and content, read from streams that misbehave, end the way the
// state format says and leave a working plug.
#include "HostileStream.h"
#include "HostedPlugin.h"
#include "ParameterChanges.h"
#include "RandomSettings.h"
#include "StereoSignal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kParams = RandomSettings::kParamCount;
constexpr size_t kBlobBytes = 8 * kParams + 4;

double ValueAt(const std::vector<uint8_t>& blob, size_t offset)
{
    uint64_t bits = 0;
    for (int b = 0; b < 8; ++b)
        bits |= static_cast<uint64_t>(blob[offset + static_cast<size_t>(b)]) << (8 * b);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void PutValue(std::vector<uint8_t>& blob, size_t offset, double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int b = 0; b < 8; ++b)
        blob[offset + static_cast<size_t>(b)] = static_cast<uint8_t>(bits >> (8 * b));
}

// A value as damaged blobs carry them.
double HostileValue(std::mt19937& rng, double lo, double hi)
{
    switch (rng() % 9) {
    case 0: return std::numeric_limits<double>::quiet_NaN();
    case 1: return std::numeric_limits<double>::infinity();
    case 2: return -std::numeric_limits<double>::infinity();
    case 3: return std::numeric_limits<double>::denorm_min();
    case 4: return -0.0;
    case 5: return (rng() % 2 ? 1.0 : -1.0) * std::ldexp(1.0, static_cast<int>(rng() % 2000) - 1000);
    case 6: {
        uint64_t bits = (static_cast<uint64_t>(rng()) << 32) | rng();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    default: return lo + RandomSettings::Uniform(rng) * (hi - lo) * 1.2 - (hi - lo) * 0.1;
    }
}

class StateHost {
public:
    explicit StateHost(int32 sampleSize = kSample32, bool sidechain = false)
    {
        HostedPlugin::Setup s;
        s.sampleSize = sampleSize;
        s.maxBlock = 512;
        s.sidechain = sidechain;
        ok = plug.Valid() && plug.Prepare(s);
        if (!ok)
            return;
        for (ParamID id = 0; id < static_cast<ParamID>(kParams); ++id) {
            lo[id] = plug.Controller()->normalizedParamToPlain(id, 0.0);
            hi[id] = plug.Controller()->normalizedParamToPlain(id, 1.0);
            ParameterInfo info{};
            plug.Controller()->getParameterInfo(static_cast<int32>(id) + 2, info);
            def[id] = plug.Controller()->normalizedParamToPlain(id, info.defaultNormalizedValue);
        }
    }

    // The blob a load of `stream` must leave, from the current blob and what
    // an identical stream delivers to the same two reads; *result is the
    // answer the load must give.
    std::vector<uint8_t> Expected(const std::vector<uint8_t>& current, HostileStream& twin, tresult* result) const
    {
        std::vector<uint8_t> chunk(current.begin(), current.begin() + 8 * kParams);
        int32 got = 0;
        twin.read(chunk.data(), static_cast<int32>(chunk.size()), &got);
        std::vector<uint8_t> out = current;
        for (int i = 0; i < kParams; ++i) {
            double v = ValueAt(chunk, 8 * static_cast<size_t>(i));
            if (std::isnan(v))
                v = def[i];
            if (v < lo[i])
                v = lo[i];
            else if (v > hi[i])
                v = hi[i];
            PutValue(out, 8 * static_cast<size_t>(i), v);
        }
        uint8_t word[4] = {0, 0, 0, 0};
        if (twin.read(word, 4, &got) == kResultOk) {
            const bool on = (word[0] | word[1] | word[2] | word[3]) != 0;
            out[8 * kParams] = on ? 1 : 0;
            out[8 * kParams + 1] = out[8 * kParams + 2] = out[8 * kParams + 3] = 0;
            *result = kResultOk;
        } else {
            *result = kResultFalse;
        }
        return out;
    }

    bool ProcessesCleanly(std::mt19937& rng)
    {
        const int frames = 1 + static_cast<int>(rng() % 512);
        const StereoSignal in = StereoSignal::Music(static_cast<size_t>(frames), 48000.0, 0.9, rng());
        StereoSignal out(static_cast<size_t>(frames));
        return plug.ProcessBlock(in, &in, 0, frames, out) && out.AllFinite();
    }

    HostedPlugin plug;
    bool ok = false;
    double lo[kParams] = {};
    double hi[kParams] = {};
    double def[kParams] = {};
};

// Random settings, saved and loaded into a fresh instance: the same bytes,
// and the same audio to the bit, in both sample sizes and with or without
// the sidechain.
TEST(StateNeverLost, RandomSettingsGiveTheSameBlobAndBitIdenticalAudioInAFreshInstance)
{
    std::mt19937 rng(76);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        const int32 size = round % 2 ? kSample64 : kSample32;
        const bool sidechain = round % 3 == 0;
        StateHost a(size, sidechain);
        ASSERT_TRUE(a.ok);
        ParameterChanges settings;
        const bool hostBypass = round % 7 == 3;
        RandomSettings::AddAll(settings, rng, hostBypass);
        a.plug.Apply(settings);
        const std::vector<uint8_t> blob = a.plug.SaveState();
        ASSERT_EQ(blob.size(), kBlobBytes);
        EXPECT_EQ(blob[8 * kParams], hostBypass ? 1 : 0);

        StateHost b(size, sidechain);
        ASSERT_TRUE(b.ok);
        ASSERT_EQ(b.plug.LoadState(blob), kResultOk);
        ASSERT_EQ(b.plug.SaveState(), blob);
        for (ParamID id = 0; id < static_cast<ParamID>(kParams); ++id)
            ASSERT_EQ(b.plug.Controller()->getParamNormalized(id), a.plug.Controller()->getParamNormalized(id));
        ASSERT_EQ(b.plug.Controller()->getParamNormalized(RandomSettings::kBypassId), hostBypass ? 1.0 : 0.0);

        const StereoSignal in = StereoSignal::Music(9600, 48000.0, 0.2 + 0.8 * RandomSettings::Uniform(rng), rng());
        const StereoSignal sc = StereoSignal::Music(9600, 48000.0, 0.9, rng());
        const std::vector<int> sizes = {1 + static_cast<int>(rng() % 512), 1 + static_cast<int>(rng() % 512)};
        const StereoSignal outA = a.plug.Render(in, &sc, sizes);
        const StereoSignal outB = b.plug.Render(in, &sc, sizes);
        ASSERT_TRUE(outA.AllFinite());
        ASSERT_EQ(std::memcmp(outA.left.data(), outB.left.data(), outA.left.size() * sizeof(double)), 0);
        ASSERT_EQ(std::memcmp(outA.right.data(), outB.right.data(), outA.right.size() * sizeof(double)), 0);
    }
}

// Empty, short, odd, exact, long and garbage blobs from every kind of
// misbehaving stream: the result, the parameters and the bypass are what the
// format's reading rules give, and the plug goes on working.
TEST(StateNeverLost, DamagedBlobsFromMisbehavingStreamsEndAsTheFormatSays)
{
    std::mt19937 rng(2303);
    StateHost host(kSample32, true);
    ASSERT_TRUE(host.ok);
    int failures = 0;
    for (int round = 0; round < 3000 && failures < 5; ++round) {
        // A known starting point: random settings, loaded from a good blob.
        std::vector<uint8_t> start(kBlobBytes, 0);
        for (int i = 0; i < kParams; ++i)
            PutValue(start, 8 * static_cast<size_t>(i),
                     host.lo[i] + RandomSettings::Uniform(rng) * (host.hi[i] - host.lo[i]));
        start[8 * kParams] = rng() % 2;
        ASSERT_EQ(host.plug.LoadState(start), kResultOk);
        const std::vector<uint8_t> current = host.plug.SaveState();

        // The damaged blob: any length, mostly around the real one.
        size_t length;
        switch (rng() % 4) {
        case 0: length = rng() % (kBlobBytes + 1); break;
        case 1: length = kBlobBytes - 8 + rng() % 16; break;
        case 2: length = kBlobBytes + rng() % 200; break;
        default: length = kBlobBytes; break;
        }
        std::vector<uint8_t> blob(length);
        for (auto& b : blob)
            b = static_cast<uint8_t>(rng());
        for (size_t i = 0; i + 8 <= std::min(length, 8 * static_cast<size_t>(kParams)); i += 8)
            PutValue(blob, i, HostileValue(rng, host.lo[i / 8], host.hi[i / 8]));
        const auto mode = static_cast<HostileStream::Mode>(rng() % HostileStream::kModeCount);
        const uint32_t param = rng() % 4 == 0 ? rng() % 80 : rng() % 3;

        HostileStream twin(blob, mode, param);
        tresult expectedResult = kResultFalse;
        const std::vector<uint8_t> expected = host.Expected(current, twin, &expectedResult);

        HostileStream stream(blob, mode, param);
        const tresult result = host.plug.Controller()->setState(&stream);
        const std::vector<uint8_t> after = host.plug.SaveState();
        const bool good = result == expectedResult && after == expected && stream.Reads() == 2 &&
            stream.RefCount() == 1 && host.ProcessesCleanly(rng);
        EXPECT_TRUE(good) << "round " << round << ": " << length << " bytes, mode " << int(mode) << " param " << param;
        failures += good ? 0 : 1;
        for (int i = 0; i < kParams; ++i) {
            const double v = ValueAt(after, 8 * static_cast<size_t>(i));
            ASSERT_TRUE(std::isfinite(v) && v >= host.lo[i] && v <= host.hi[i]) << "parameter " << i;
        }
    }
    // And a good blob still loads afterwards.
    const std::vector<uint8_t> before = host.plug.SaveState();
    ASSERT_EQ(host.plug.LoadState(before), kResultOk);
    EXPECT_EQ(host.plug.SaveState(), before);
}

// A host stream that refuses every write is told the save failed, and the
// plug's state is untouched by the attempt.
TEST(StateNeverLost, SavingIntoAStreamThatRefusesWrites)
{
    StateHost host;
    ASSERT_TRUE(host.ok);
    const std::vector<uint8_t> before = host.plug.SaveState();
    HostileStream refusing({}, HostileStream::kFailAtEnd, 0);
    EXPECT_EQ(host.plug.Controller()->getState(&refusing), kResultFalse);
    EXPECT_EQ(refusing.RefCount(), 1u);
    EXPECT_EQ(host.plug.SaveState(), before);
}

}   // namespace
