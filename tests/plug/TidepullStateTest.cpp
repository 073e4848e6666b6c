#include "PlugHarness.h"

#include "core/FixedText.h"
#include "core/MemoryByteStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

const double kDefaults[9] = {0.0, 0.0, 0.0, 2.0, 0.0, 20.0, 100.0, 1.0, 0.0};

void AppendLe(std::vector<uint8_t>& out, double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

std::vector<uint8_t> Blob(const std::vector<double>& values, uint32_t bypassWord)
{
    std::vector<uint8_t> out;
    for (double v : values)
        AppendLe(out, v);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(bypassWord >> (8 * i)));
    return out;
}

std::vector<double> Values(const Tidepull& plug)
{
    std::vector<double> v;
    for (int32_t i = 0; i < plug.ParamCount(); ++i)
        v.push_back(plug.ParamAt(i)->Value());
    return v;
}

// Fails every read once its bytes are used up, as a host stream reporting an error.
class FailingTailStream : public ByteStream {
public:
    explicit FailingTailStream(std::vector<uint8_t> bytes) : data(std::move(bytes)) {}
    bool Read(void* dst, int32_t n, int32_t* done) override
    {
        const size_t count = std::min(static_cast<size_t>(n), data.size() - pos);
        if (count > 0)
            std::memcpy(dst, data.data() + pos, count);
        pos += count;
        *done = static_cast<int32_t>(count);
        return count > 0;
    }
    bool Write(const void*, int32_t, int32_t*) override { return false; }

private:
    std::vector<uint8_t> data;
    size_t pos = 0;
};

}   // namespace

// ---- the parameter set ----

TEST(TidepullParameters, TableOfNine)
{
    PlugPtr plug(new Tidepull());
    ASSERT_EQ(plug->ParamCount(), 9);
    const struct {
        const char* name;
        ParamKind kind;
        double def, min, max, step;
        const char* label;
        int32_t precision;
    } table[9] = {
        {"Input Atten", kParamContinuous, 0, -18, 18, 0.01, "dB", 2},
        {"Output", kParamContinuous, 0, -18, 18, 0.01, "dB", 2},
        {"AC Threshold", kParamContinuous, 0, 0, 50, 0.01, "dB", 2},
        {"DC Threshold", kParamContinuous, 2, 1, 10, 0.01, ":1", 2},
        {"Release", kParamInteger, 0, 0, 5, 1, "", 0},
        {"HPF", kParamContinuous, 20, 20, 500, 0.01, "Hz", 2},
        {"MIX", kParamContinuous, 100, 0, 100, 0.01, "%", 2},
        {"Engage", kParamInteger, 1, 0, 1, 1, "", 0},
        {"External Sidechain", kParamInteger, 0, 0, 1, 1, "", 0},
    };
    for (int32_t i = 0; i < 9; ++i) {
        const ParamRecord& p = *plug->ParamAt(i);
        SCOPED_TRACE(table[i].name);
        EXPECT_STREQ(p.Name(), table[i].name);
        EXPECT_EQ(p.Kind(), table[i].kind);
        EXPECT_EQ(p.Default(), table[i].def);
        EXPECT_EQ(p.Value(), table[i].def);
        EXPECT_EQ(p.Min(), table[i].min);
        EXPECT_EQ(p.Max(), table[i].max);
        EXPECT_EQ(p.Step(), table[i].step);
        EXPECT_STREQ(p.Label(), table[i].label);
        EXPECT_EQ(p.Precision(), table[i].precision);
        EXPECT_STREQ(p.Group(), "");
        EXPECT_EQ(p.Shape(), 1.0);
        EXPECT_EQ(p.DisplayTextCount(), 0);
        EXPECT_TRUE(p.Automatable());
        EXPECT_FALSE(p.NegateDisplay());
    }
}

TEST(TidepullParameters, IdentityAndChannels)
{
    PlugPtr plug(new Tidepull());
    EXPECT_STREQ(plug->EffectName(), "Tidepull");
    EXPECT_STREQ(plug->ProductName(), "");
    EXPECT_STREQ(plug->MakerName(), "Quillmarch");
    EXPECT_EQ(plug->UniqueId(), 0x54647031);   // 'Tdp1'
    EXPECT_EQ(plug->MakerId(), 0x516C6D72);   // 'Qlmr'
    EXPECT_EQ(plug->Version(), 0x50000);
    EXPECT_EQ(plug->ApiKind(), 1);
    EXPECT_FALSE(plug->IsInstrument());
    EXPECT_FALSE(plug->HandlesMidi());
    EXPECT_EQ(plug->LatencySamples(), 0);
    EXPECT_EQ(plug->InputCount(), 4);
    EXPECT_EQ(plug->OutputCount(), 2);
    EXPECT_TRUE(plug->LegalIO(2, 2));
    EXPECT_TRUE(plug->LegalIO(4, 2));
    EXPECT_FALSE(plug->LegalIO(1, 1));
    EXPECT_EQ(plug->MeterState(), 1.0);   // the meter starts at full scale
}

TEST(TidepullParameters, HostDisplay)
{
    PlugPtr plug(new Tidepull());
    char buf[32];
    plug->ParamAt(Tidepull::kInputAtten)->SetValue(-6.0);
    plug->ParamAt(Tidepull::kInputAtten)->FormatValue(buf);
    EXPECT_STREQ(buf, "-6.00");
    EXPECT_STREQ(plug->ParamAt(Tidepull::kInputAtten)->UnitLabel(), "dB");

    plug->ParamAt(Tidepull::kRelease)->SetValue(3.0);
    plug->ParamAt(Tidepull::kRelease)->FormatValue(buf);
    EXPECT_STREQ(buf, "3");
    EXPECT_STREQ(plug->ParamAt(Tidepull::kRelease)->UnitLabel(), "");

    plug->ParamAt(Tidepull::kHpf)->FormatValue(1.0, true, buf);
    EXPECT_STREQ(buf, "500.00");
}

// ---- presets ----

TEST(TidepullPresets, PresetZeroHoldsTheDefaults)
{
    PlugPtr plug(new Tidepull());
    ASSERT_EQ(plug->PresetCount(), 1);
    EXPECT_STREQ(plug->PresetAt(0)->name, "-");
    EXPECT_TRUE(plug->PresetAt(0)->initialised);

    for (int32_t i = 0; i < 9; ++i)
        SetParam(*plug, i, plug->ParamAt(i)->Max());
    EXPECT_TRUE(plug->SelectPreset(0));
    EXPECT_EQ(Values(*plug), std::vector<double>(kDefaults, kDefaults + 9));
    EXPECT_FALSE(plug->SelectPreset(1));
    EXPECT_STREQ(plug->PresetAt(0)->name, "-");
}

// ---- state blob ----

TEST(TidepullState, DefaultsSaveAs76Bytes)
{
    PlugPtr plug = MakeHostedPlug();
    MemoryByteStream stream;
    ASSERT_TRUE(plug->SaveState(stream));
    EXPECT_EQ(stream.Data(), Blob(std::vector<double>(kDefaults, kDefaults + 9), 0));
    EXPECT_EQ(stream.Data().size(), 76u);
}

TEST(TidepullState, OutOfRangeAndNonFiniteValuesLoadTamed)
{
    PlugPtr plug = MakeHostedPlug();
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    MemoryByteStream stream(Blob({100.0, -100.0, nan, inf, -inf, 1000.0, nan, 7.0, -3.0}, 1));
    ASSERT_TRUE(plug->LoadState(stream));
    const std::vector<double> expected = {18.0, -18.0, 0.0, 10.0, 0.0, 500.0, 100.0, 1.0, 0.0};
    EXPECT_EQ(Values(*plug), expected);
    EXPECT_TRUE(plug->IsBypassed());
}

TEST(TidepullState, FortyBytesSetFiveParametersAndFollowTheStream)
{
    std::vector<uint8_t> blob;
    const double sent[5] = {-6.0, 3.0, 20.0, 4.0, 2.0};
    for (double v : sent)
        AppendLe(blob, v);

    auto prepare = [](Tidepull& plug) {
        SetParam(plug, Tidepull::kHpf, 300.0);
        SetParam(plug, Tidepull::kMix, 40.0);
        SetParam(plug, Tidepull::kBypass, 0.0);
        SetParam(plug, Tidepull::kExternalSidechain, 1.0);
        plug.SetBypassed(true);
    };
    const double kept[4] = {300.0, 40.0, 0.0, 1.0};

    {
        PlugPtr plug = MakeHostedPlug();
        prepare(*plug);
        FailingTailStream stream(blob);
        EXPECT_FALSE(plug->LoadState(stream));
        for (int32_t i = 0; i < 5; ++i)
            EXPECT_EQ(plug->ParamAt(i)->Value(), sent[i]) << i;
        for (int32_t i = 5; i < 9; ++i)
            EXPECT_EQ(plug->ParamAt(i)->Value(), kept[i - 5]) << i;
        EXPECT_TRUE(plug->IsBypassed());
    }
    {
        PlugPtr plug = MakeHostedPlug();
        prepare(*plug);
        MemoryByteStream stream(blob);   // a read at the end succeeds with nothing
        EXPECT_TRUE(plug->LoadState(stream));
        for (int32_t i = 5; i < 9; ++i)
            EXPECT_EQ(plug->ParamAt(i)->Value(), kept[i - 5]) << i;
        EXPECT_FALSE(plug->IsBypassed());
    }
}

TEST(TidepullState, RoundTripIntoAFreshInstance)
{
    PlugPtr a = MakeHostedPlug();
    const double values[9] = {-7.5, 2.25, 33.0, 6.5, 4.0, 123.0, 61.0, 0.0, 1.0};
    for (int32_t i = 0; i < 9; ++i)
        SetParam(*a, i, values[i]);
    a->SetBypassed(true);
    MemoryByteStream saved;
    ASSERT_TRUE(a->SaveState(saved));

    PlugPtr b = MakeHostedPlug();
    MemoryByteStream in(saved.Data());
    ASSERT_TRUE(b->LoadState(in));
    MemoryByteStream again;
    ASSERT_TRUE(b->SaveState(again));
    EXPECT_EQ(again.Data(), saved.Data());

    // Restored values reach the engine: both instances now sound the same.
    PlugPtr c = MakeHostedPlug();
    for (int32_t i = 0; i < 9; ++i)
        SetParam(*c, i, values[i]);
    const Signal sig = Program(4096);
    const Output ob = Process(*b, sig);
    const Output oc = Process(*c, sig);
    EXPECT_EQ(ob.l, oc.l);
    EXPECT_EQ(ob.r, oc.r);
}
