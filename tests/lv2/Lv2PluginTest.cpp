// Tidepull.lv2 as LV2 hosts meet it: its Turtle through the LV2 tools, its
// sound through lilv against the VST 3 build's render.
#include "Lv2Host.h"
#include "TempFolderTest.h"
#include "TestAudio.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const std::string kBundle = TIDEPULL_LV2_BUNDLE;

Lv2Host::Channels Floats(const TestAudio& audio)
{
    Lv2Host::Channels out;
    for (const auto& c : audio.channels)
        out.emplace_back(c.begin(), c.end());
    return out;
}

}   // namespace

using Lv2Bundle = TempFolderTest;

TEST_F(Lv2Bundle, ValidatesWithoutErrorsOrWarnings)
{
    const auto r = ToolRun::runProgram(
        "/usr/bin/lv2_validate", {kBundle + "/manifest.ttl", kBundle + "/Tidepull.ttl", kBundle + "/presets.ttl"});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE((r.out + r.err).find("Found 0 errors"), std::string::npos) << r.out << r.err;
    EXPECT_EQ((r.out + r.err).find("warning"), std::string::npos) << r.out << r.err;
}

TEST_F(Lv2Bundle, Lv2infoListsEveryControlWithItsRangeAndUnit)
{
    // LV2_PATH as a user sets it: a folder of bundles, then the specifications.
    std::filesystem::create_directory_symlink(kBundle, path("Tidepull.lv2"));
    ::setenv("LV2_PATH", (dir_.string() + ":/usr/lib/lv2").c_str(), 1);
    const auto r = ToolRun::runProgram("/usr/bin/lv2info", {TIDEPULL_LV2_URI});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Class:             Compressor Plugin"), std::string::npos) << r.out;
    const std::string units = "http://lv2plug.in/ns/extensions/units#";
    const struct {
        const char* symbol;
        const char* range;   // minimum, maximum and default as lv2info prints them
        std::string unit;
    } ports[] = {
        {"input_atten", "-18.000000 18.000000 0.000000", units + "db"},
        {"output", "-18.000000 18.000000 0.000000", units + "db"},
        {"ac_threshold", "0.000000 50.000000 0.000000", units + "db"},
        {"dc_threshold", "1.000000 10.000000 2.000000", std::string(TIDEPULL_LV2_URI) + "#ratio"},
        {"release", "0.000000 5.000000 0.000000", ""},
        {"hpf", "20.000000 500.000000 20.000000", units + "hz"},
        {"mix", "0.000000 100.000000 100.000000", units + "pc"},
        {"engage", "0.000000 1.000000 1.000000", ""},
        {"external_sidechain", "0.000000 1.000000 0.000000", ""},
        {"enabled", "0.000000 1.000000 1.000000", ""},
        {"gain_reduction", "0.000000 60.000000 0.000000", units + "db"},
    };
    for (const auto& port : ports) {
        SCOPED_TRACE(port.symbol);
        const size_t at = r.out.find(std::string("Symbol:      ") + port.symbol + "\n");
        ASSERT_NE(at, std::string::npos);
        auto field = [&](const char* name) {
            const size_t f = r.out.find(name, at);
            return f == std::string::npos ? "" : r.out.substr(f + 13, r.out.find('\n', f) - f - 13);
        };
        EXPECT_EQ(field("Minimum:") + " " + field("Maximum:") + " " + field("Default:"), port.range);
        EXPECT_EQ(Lv2Host::UnitOf(port.symbol), port.unit);
    }
    for (const char* s : {"in_l", "in_r", "sc_l", "sc_r", "out_l", "out_r"})
        EXPECT_NE(r.out.find(std::string("Symbol:      ") + s + "\n"), std::string::npos) << s;
}

// Every factory preset at both rates, with and without a sidechain: lilv's
// render equals tidepull-render's 32-bit VST 3 render bit for bit.
TEST_F(Lv2Bundle, RendersTheSameBitsAsTheVst3BuildForEveryPreset)
{
    for (const int rate : {44100, 96000}) {
        TestAudio in = TestAudio::bursts(2, 1.5, rate);
        TestAudio key = in;
        std::rotate(key.channels[0].begin(), key.channels[0].begin() + rate / 3, key.channels[0].end());
        std::swap(key.channels[0], key.channels[1]);
        ASSERT_TRUE(in.writeFloatWav(path("in.wav")) && key.writeFloatWav(path("key.wav")));
        for (const char* preset :
             {"Default", "Bus Glue", "Vocal Leveler", "Drums Parallel Smash", "Mastering Gentle", "Sidechain Duck"}) {
            for (const bool sidechain : {false, true}) {
                SCOPED_TRACE(std::string(preset) + " at " + std::to_string(rate) + (sidechain ? " keyed" : ""));
                std::vector<std::string> args = {"--plugin", TIDEPULL_VST3_BUNDLE, "--no-lead-in", "--preset",
                                                 std::string(TIDEPULL_PRESETS_DIR) + "/" + preset + ".vstpreset"};
                if (sidechain)
                    args.insert(args.end(), {"--sidechain", path("key.wav")});
                args.insert(args.end(), {path("in.wav"), path("out.wav")});
                const auto r = ToolRun::run(args);
                ASSERT_EQ(r.exitCode, 0) << r.err;
                TestAudio vst3;
                ASSERT_TRUE(vst3.read(path("out.wav")));

                Lv2Host host(rate);
                ASSERT_TRUE(host.Instantiated() && host.ApplyPreset(preset));
                Lv2Host::Channels input = Floats(in);
                if (sidechain) {
                    const Lv2Host::Channels k = Floats(key);
                    input.insert(input.end(), k.begin(), k.end());
                }
                const Lv2Host::Channels lv2 = host.Process(input, 700);
                long differing = 0;
                for (size_t c = 0; c < 2; ++c) {
                    for (size_t i = 0; i < lv2[c].size(); ++i)
                        differing += static_cast<float>(vst3.channels[c][i]) != lv2[c][i];
                }
                EXPECT_EQ(differing, 0);
            }
        }
    }
}

TEST(Lv2Instance, RefusesRatesBelowTheBandPassesAndRunsFromTheirBound)
{
    EXPECT_FALSE(Lv2Host(8000.0).Instantiated());
    EXPECT_FALSE(Lv2Host(15999.0).Instantiated());
    Lv2Host host(16000.0);
    ASSERT_TRUE(host.Instantiated());
    // Every audio port left unconnected: silence in, scratch out.
    host.RunEmpty(64);
    host.RunEmpty(0);
}

// run(0) applies the controls and changes nothing else; a host processing in
// place hears what one with buffers of its own does.
TEST(Lv2Instance, RunOfNoFramesAndInPlaceProcessingKeepTheSound)
{
    const Lv2Host::Channels in = Floats(TestAudio::bursts(2, 1.0, 48000));
    Lv2Host apart(48000.0);
    Lv2Host inPlace(48000.0);
    apart.Set("ac_threshold", 25.0f);
    inPlace.RunEmpty(0);
    inPlace.Set("ac_threshold", 25.0f);
    inPlace.RunEmpty(0);
    const Lv2Host::Channels a = apart.Process(in, 512);
    EXPECT_EQ(inPlace.Process(in, 512, true), a);
    EXPECT_NE(a[0], in[0]);
}

// The host bypass (lv2:enabled) fades: no step beyond the sine's own, the
// input itself once the fade is through, and back; the gain-reduction port
// follows the meter.
TEST(Lv2Instance, EnabledPortFadesClickFree)
{
    const int rate = 48000;
    const double pi = 3.14159265358979323846;
    Lv2Host::Channels sine(2, std::vector<float>(rate / 2));
    for (size_t i = 0; i < sine[0].size(); ++i)
        sine[0][i] = sine[1][i] = static_cast<float>(0.8 * std::sin(2.0 * pi * 100.0 * i / rate));
    const double sineStep = 0.8 * 2.0 * pi * 100.0 / rate;
    Lv2Host host(rate);
    host.Set("ac_threshold", 30.0f);
    Lv2Host::Channels out = host.Process(sine, 256);
    EXPECT_GT(host.Get("gain_reduction"), 3.0f);
    float last = out[0].back();
    const int fade = rate * 5 / 1000;
    for (const float enabled : {0.0f, 1.0f}) {
        SCOPED_TRACE(enabled);
        host.Set("enabled", enabled);
        out = host.Process(sine, 100);
        double step = std::fabs(out[0][0] - last);
        for (size_t i = 1; i < out[0].size(); ++i)
            step = std::max(step, std::fabs(static_cast<double>(out[0][i] - out[0][i - 1])));
        EXPECT_LT(step, 1.5 * sineStep);
        EXPECT_NE(out[0][1], sine[0][1]);
        const bool dry = std::equal(out[0].begin() + fade, out[0].end(), sine[0].begin() + fade);
        EXPECT_EQ(dry, enabled == 0.0f);
        last = out[0].back();
    }
    host.Set("engage", 0.0f);
    host.Process(sine, 256);
    EXPECT_LT(host.Get("gain_reduction"), 0.5f);
}
