// tidepull-render's --preset and --save-preset, run as a user runs them.
#include "CommandLine.h"
#include "FactoryPresets.h"
#include "PresetTestHost.h"
#include "TestAudio.h"
#include "TempFolderTest.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {
std::string factoryPreset(const char* name)
{
    return std::string(TIDEPULL_TEST_PRESETS) + "/" + name + ".vstpreset";
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class RenderPreset : public TempFolderTest {
protected:
    void SetUp() override
    {
        ASSERT_EQ(PresetTestHost::loadError(), "");
        TempFolderTest::SetUp();
        if (HasFatalFailure())
            return;
        input_ = path("in.wav");
        ASSERT_TRUE(TestAudio::bursts(2, 0.5, 48000).writeFloatWav(input_));
    }

    ToolRun::Result render(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {"--plugin", ToolRun::bundle()});
        return ToolRun::run(args);
    }

    // The names in the folder besides the input.
    std::vector<std::string> leftovers() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir_))
            if (entry.path().filename() != "in.wav" && entry.path().filename().string().rfind("bad", 0) != 0)
                names.push_back(entry.path().filename().string());
        return names;
    }

    // Refused with exit code 1, a message naming the file, and no output.
    void expectRefused(const std::string& preset, const std::string& phrase)
    {
        const ToolRun::Result r = render({"--preset", preset, "--state-out", path("state.bin"), "--save-preset",
                                          path("saved.vstpreset"), input_, path("out.wav")});
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_NE(r.err.find(preset), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(phrase), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
        EXPECT_TRUE(leftovers().empty()) << leftovers().front();
    }

    std::string input_;
};

TEST_F(RenderPreset, ASavedPresetLoadsBackToTheSameStateAndSound)
{
    for (const bool hostBypass : {false, true}) {
        SCOPED_TRACE(hostBypass ? "host bypass on" : "host bypass off");
        std::vector<std::string> first = {"--set",         "AC Threshold=17.25",
                                          "--set",         "Release=3",
                                          "--set",         "MIX=60",
                                          "--set",         "External Sidechain=1",
                                          "--save-preset", path("saved.vstpreset"),
                                          "--state-out",   path("first.bin"),
                                          input_,          path("first.wav")};
        if (hostBypass)
            first.insert(first.begin(), "--host-bypass");
        const ToolRun::Result saved = render(first);
        ASSERT_EQ(saved.exitCode, 0) << saved.err;

        const ToolRun::Result loaded = render(
            {"--preset", path("saved.vstpreset"), "--state-out", path("second.bin"), input_, path("second.wav")});
        ASSERT_EQ(loaded.exitCode, 0) << loaded.err;
        const std::vector<uint8_t> state = PresetTestHost::fileBytes(path("first.bin"));
        EXPECT_EQ(PresetTestHost::fileBytes(path("second.bin")), state);
        EXPECT_EQ(PresetTestHost::componentChunkOf(path("saved.vstpreset")), state);
        EXPECT_EQ(PresetTestHost::bypassWordOf(state), hostBypass ? 1u : 0u);
        EXPECT_DOUBLE_EQ(PresetTestHost::valuesOf(state)[2], 17.25);

        TestAudio a;
        TestAudio b;
        ASSERT_TRUE(a.read(path("first.wav")));
        ASSERT_TRUE(b.read(path("second.wav")));
        EXPECT_EQ(TestAudio::maxDifference(a, b), 0.0);
    }
}

TEST_F(RenderPreset, AFactoryPresetSetsTheWholeStateAndSetAppliesOnTop)
{
    const std::string preset = factoryPreset("Bus Glue");
    const std::vector<uint8_t> stored = PresetTestHost::componentChunkOf(preset);
    ASSERT_FALSE(stored.empty());

    const ToolRun::Result plain = render({"--preset", preset, "--state-out", path("plain.bin"), input_, path("a.wav")});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(PresetTestHost::fileBytes(path("plain.bin")), stored);
    EXPECT_NE(plain.out.find("preset in"), std::string::npos) << plain.out;

    const ToolRun::Result tweaked =
        render({"--preset", preset, "--set", "MIX=50", "--state-out", path("tweaked.bin"), input_, path("b.wav")});
    ASSERT_EQ(tweaked.exitCode, 0) << tweaked.err;
    std::vector<double> expected = PresetTestHost::valuesOf(stored);
    expected[6] = 50.0;
    EXPECT_EQ(PresetTestHost::valuesOf(PresetTestHost::fileBytes(path("tweaked.bin"))), expected);
}

TEST_F(RenderPreset, MissingCorruptAndForeignPresetsAreRefusedBeforeAnyOutput)
{
    expectRefused(path("bad-missing.vstpreset"), "No such file");

    const std::string text = path("bad-text.vstpreset");
    writeBytes(text, std::vector<uint8_t>{'n', 'o', 't', ' ', 'a', ' ', 'p', 'r', 'e', 's', 'e', 't', '\n'});
    expectRefused(text, "not a VST 3 preset");

    const std::vector<uint8_t> good = PresetTestHost::fileBytes(factoryPreset("Vocal Leveler"));
    ASSERT_GT(good.size(), 48u);
    const std::string cut = path("bad-cut.vstpreset");
    writeBytes(cut, std::vector<uint8_t>(good.begin(), good.begin() + 60));
    expectRefused(cut, "not a VST 3 preset");

    // The class ID is 32 hexadecimal digits after 'VST3' and the version.
    std::vector<uint8_t> foreign = good;
    for (size_t i = 8; i < 16; ++i)
        foreign[i] = 'A';
    const std::string other = path("bad-foreign.vstpreset");
    writeBytes(other, foreign);
    expectRefused(other, "another plug-in");

    // The chunk list comes last: 'List', a count, then per chunk an ID, an
    // offset and a size; the first of the two entries is the component state.
    std::vector<uint8_t> damaged = good;
    const size_t listAt = good.size() - (4 + 4 + 2 * 20);
    ASSERT_EQ(std::string(good.begin() + listAt, good.begin() + listAt + 4), "List");
    damaged[listAt + 8 + 4 + 8] = 0xff;
    damaged[listAt + 8 + 4 + 8 + 1] = 0xff;
    const std::string overrun = path("bad-overrun.vstpreset");
    writeBytes(overrun, damaged);
    expectRefused(overrun, "damaged");
}

TEST(RenderPresetCommandLine, TakesBothOptionsAndRefusesAPresetWithAState)
{
    CommandLine line;
    ASSERT_TRUE(line.parse({"--preset", "in.vstpreset", "--save-preset=out.vstpreset", "out.wav"})) << line.error();
    EXPECT_EQ(line.options().presetPath, "in.vstpreset");
    EXPECT_EQ(line.options().savePresetPath, "out.vstpreset");

    EXPECT_FALSE(line.parse({"--preset", "in.vstpreset", "--state-in", "s.bin", "out.wav"}));
    EXPECT_NE(line.error().find("--state-in"), std::string::npos) << line.error();
    EXPECT_FALSE(line.parse({"out.wav", "--preset"}));
    EXPECT_NE(CommandLine::usage("tidepull-render").find("--save-preset FILE"), std::string::npos);
}
}   // namespace
