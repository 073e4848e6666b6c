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

TEST_F(Lv2Bundle, Lv2ValidateFindsNoErrorOrWarning)
{
    const auto r = ToolRun::runProgram(
        "/usr/bin/lv2_validate", {kBundle + "/manifest.ttl", kBundle + "/Tidepull.ttl", kBundle + "/presets.ttl"});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE((r.out + r.err).find("Found 0 errors"), std::string::npos) << r.out << r.err;
    EXPECT_EQ((r.out + r.err).find("warning"), std::string::npos) << r.out << r.err;
}

// A host without a display loads the DSP module alone: it needs no window,
// font or image library, which the UI module does.
TEST_F(Lv2Bundle, DspModuleNeedsNoWindowOrDrawingLibrary)
{
    const struct {
        const char* module;
        bool drawing;
    } modules[] = {{"Tidepull.so", false}, {"Tidepull_ui.so", true}};
    for (const auto& m : modules) {
        SCOPED_TRACE(m.module);
        const auto r = ToolRun::runProgram("/usr/bin/readelf", {"-d", kBundle + "/" + m.module});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        ASSERT_NE(r.out.find("libstdc++"), std::string::npos) << r.out;
        for (const char* library : {"libX11", "libXext", "libfreetype", "libfontconfig", "libpng"})
            EXPECT_EQ(r.out.find(library) != std::string::npos, m.drawing) << library;
    }
}

TEST_F(Lv2Bundle, Lv2infoListsEveryPortWithItsRangeAndUnit)
{
    // LV2_PATH as a user sets it: a folder of bundles, then the system's LV2 folder.
    std::filesystem::create_directory_symlink(kBundle, path("Tidepull.lv2"));
    ::setenv("LV2_PATH", (dir_.string() + ":/usr/lib/lv2").c_str(), 1);
    const auto r = ToolRun::runProgram("/usr/bin/lv2info", {TIDEPULL_LV2_URI});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Class:             Compressor Plugin"), std::string::npos) << r.out;
    const std::string db = "http://lv2plug.in/ns/extensions/units#db";
    const struct {
        const char* symbol;
        const char* range;   // minimum, maximum and default as lv2info prints them; "" for audio
        std::string unit;
    } ports[] = {
        {"in_l", "", ""},
        {"in_r", "", ""},
        {"sc_l", "", ""},
        {"sc_r", "", ""},
        {"out_l", "", ""},
        {"out_r", "", ""},
        {"input_atten", "-18.000000 18.000000 0.000000", db},
        {"output", "-18.000000 18.000000 0.000000", db},
        {"ac_threshold", "0.000000 50.000000 0.000000", db},
        {"dc_threshold", "1.000000 10.000000 2.000000", std::string(TIDEPULL_LV2_URI) + "#ratio"},
        {"release", "0.000000 5.000000 0.000000", ""},
        {"hpf", "20.000000 500.000000 20.000000", "http://lv2plug.in/ns/extensions/units#hz"},
        {"mix", "0.000000 100.000000 100.000000", "http://lv2plug.in/ns/extensions/units#pc"},
        {"engage", "0.000000 1.000000 1.000000", ""},
        {"external_sidechain", "0.000000 1.000000 0.000000", ""},
        {"enabled", "0.000000 1.000000 1.000000", ""},
        {"gain_reduction", "0.000000 60.000000 0.000000", db},
    };
    for (const auto& port : ports) {
        SCOPED_TRACE(port.symbol);
        const size_t at = r.out.find(std::string("Symbol:      ") + port.symbol + "\n");
        ASSERT_NE(at, std::string::npos);
        const size_t end = r.out.find("\tPort ", at);
        std::string range;
        for (const char* name : {"Minimum:", "Maximum:", "Default:"}) {
            const size_t f = r.out.find(name, at);
            if (f < end)
                range += (range.empty() ? "" : " ") + r.out.substr(f + 13, r.out.find('\n', f) - f - 13);
        }
        EXPECT_EQ(range, port.range);
        EXPECT_EQ(Lv2Host::UnitOf(port.symbol), port.unit);
    }
}

// Every factory preset at both rates, with and without a sidechain: lilv's
// render (in blocks of another size) equals tidepull-render's 32-bit VST 3
// render bit for bit.
TEST_F(Lv2Bundle, RendersTheVst3BuildsBitsForEveryPreset)
{
    for (const int rate : {44100, 96000}) {
        const TestAudio in = TestAudio::bursts(2, 1.5, rate);
        TestAudio key = in;
        std::rotate(key.channels[0].begin(), key.channels[0].begin() + rate / 3, key.channels[0].end());
        std::swap(key.channels[0], key.channels[1]);
        ASSERT_TRUE(in.writeFloatWav(path("in.wav")) && key.writeFloatWav(path("key.wav")));
        for (const char* preset :
             {"Default", "Bus Glue", "Vocal Leveler", "Drums Parallel Smash", "Mastering Gentle", "Sidechain Duck"}) {
            for (const bool keyed : {false, true}) {
                SCOPED_TRACE(std::string(preset) + " at " + std::to_string(rate) + (keyed ? " keyed" : ""));
                const std::string presetFile = std::string(TIDEPULL_PRESETS_DIR) + "/" + preset + ".vstpreset";
                std::vector<std::string> args = {"--no-lead-in", "--preset", presetFile};
                if (keyed)
                    args.insert(args.end(), {"--sidechain", path("key.wav")});
                args.insert(args.end(), {path("in.wav"), path("out.wav")});
                const auto r = ToolRun::run(args);
                TestAudio vst3;
                ASSERT_TRUE(r.exitCode == 0 && vst3.read(path("out.wav"))) << r.err;

                Lv2Host host(rate);
                ASSERT_TRUE(host.Instantiated() && host.ApplyPreset(preset));
                Lv2Host::Channels input = Floats(in);
                if (keyed)
                    input.insert(input.end(), {Floats(key)[0], Floats(key)[1]});
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

// Rates below the band-pass's are refused; run(0) with no audio connected
// applies the controls and changes nothing else; a host processing in place
// hears what one with buffers of its own does.
TEST(Lv2Instance, HostsEdgesKeepTheSound)
{
    EXPECT_FALSE(Lv2Host(8000.0).Instantiated());
    EXPECT_FALSE(Lv2Host(15999.0).Instantiated());
    Lv2Host lowest(16000.0);
    ASSERT_TRUE(lowest.Instantiated());
    lowest.RunEmpty(64);

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

// The host bypass (lv2:enabled) fades both ways: no step beyond the sine's
// own, the input itself once the fade is through; the gain-reduction port
// follows the meter.
TEST(Lv2Instance, EnabledPortFadesClickFree)
{
    const int rate = 48000;
    const double pi = 3.14159265358979323846;
    Lv2Host::Channels sine(2, std::vector<float>(rate / 2));
    for (size_t i = 0; i < sine[0].size(); ++i)
        sine[0][i] = sine[1][i] = static_cast<float>(0.8 * std::sin(2.0 * pi * 100.0 * i / rate));
    Lv2Host host(rate);
    host.Set("ac_threshold", 30.0f);
    float last = host.Process(sine, 256)[0].back();
    EXPECT_GT(host.Get("gain_reduction"), 3.0f);
    for (const float enabled : {0.0f, 1.0f}) {
        SCOPED_TRACE(enabled);
        host.Set("enabled", enabled);
        const std::vector<float> out = host.Process(sine, 100)[0];
        double step = std::fabs(out[0] - last);
        for (size_t i = 1; i < out.size(); ++i)
            step = std::max(step, std::fabs(static_cast<double>(out[i] - out[i - 1])));
        EXPECT_LT(step, 1.5 * 0.8 * 2.0 * pi * 100.0 / rate);
        EXPECT_NE(out[1], sine[0][1]);
        const int fade = rate * 5 / 1000;
        EXPECT_EQ(std::equal(out.begin() + fade, out.end(), sine[0].begin() + fade), enabled == 0.0f);
        last = out.back();
    }
    host.Set("engage", 0.0f);
    host.Process(sine, 256);
    EXPECT_LT(host.Get("gain_reduction"), 0.5f);
}

// A host may connect only the first sidechain port: that mono key drives the
// detector as the same key on both ports does, bit for bit.
TEST(Lv2Instance, MonoKeyOnTheFirstSidechainPortFeedsBoth)
{
    const int rate = 48000;
    const Lv2Host::Channels in = Floats(TestAudio::bursts(2, 1.0, rate));
    std::vector<float> key = in[1];
    std::rotate(key.begin(), key.begin() + rate / 4, key.end());
    auto render = [&](Lv2Host::Channels input) {
        Lv2Host host(rate);
        host.Set("ac_threshold", 25.0f);
        host.Set("external_sidechain", 1.0f);
        return host.Process(input, 333);
    };
    const Lv2Host::Channels mono = render({in[0], in[1], key});
    EXPECT_EQ(mono, render({in[0], in[1], key, key}));
    EXPECT_NE(mono, render({in[0], in[1], key, std::vector<float>(key.size())}));
}
