// The arm64 build (build-arm64.sh) against this x86-64 one, with no ARM
// machine: its tidepull-render and tidepull-snapshot run under qemu-aarch64,
// load the arm64 library from the bundle that carries both architectures, and
// must give this build's bits and pixels; its LV2 modules, hosted by the same
// lilv program built for arm64, this build's LV2 bits. Its bundle resources,
// presets and LV2 Turtle, written by its own tools under the emulator, must
// be this build's, so that one set of them serves both.
#include "StripImage.h"
#include "TempFolderTest.h"
#include "TestAudio.h"
#include "posix/ChildProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kX86Build = TIDEPULL_X86_BUILD_DIR;
const std::string kArmBuild = TIDEPULL_ARM64_BUILD_DIR;
const std::string kUniversal = kArmBuild + "/universal/Tidepull.vst3";

// Renders of a few seconds take some seconds under the emulator; more on a busy machine.
constexpr std::chrono::seconds kToolDeadline{300};

// One of the tools, either build's: the arm64 one through the emulator
// (Debian's qemu-user puts it in /usr/bin).
ChildProcess::Result RunTool(bool arm, const std::string& tool, std::vector<std::string> args)
{
    if (!arm)
        return ChildProcess::Run(kX86Build + "/" + tool, args, kToolDeadline);
    args.insert(args.begin(), kArmBuild + "/" + tool);
    return ChildProcess::Run("/usr/bin/qemu-aarch64", args, kToolDeadline);
}

uint64_t Bits(double v)
{
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// Empty when every sample has the same bits; else how many differ, the first
// and the largest difference.
std::string BitDifferences(const TestAudio& x86, const TestAudio& arm)
{
    if (x86.channels.size() != arm.channels.size() || x86.frames() != arm.frames())
        return "the lengths or channel counts differ";
    long count = 0;
    std::string first;
    double largest = 0.0;
    for (long i = 0; i < x86.frames(); ++i) {
        for (size_t c = 0; c < x86.channels.size(); ++c) {
            const double a = x86.channels[c][static_cast<size_t>(i)];
            const double b = arm.channels[c][static_cast<size_t>(i)];
            if (Bits(a) == Bits(b))
                continue;
            char text[160];
            std::snprintf(text, sizeof text, "; the first at frame %ld (%.4f s): x86-64 %.17g, arm64 %.17g", i,
                          static_cast<double>(i) / x86.sampleRate, a, b);
            if (count++ == 0)
                first = text;
            largest = std::max(largest, std::fabs(a - b));
        }
    }
    char summary[80];
    std::snprintf(summary, sizeof summary, "%ld samples differ, by up to %g", count, largest);
    return count == 0 ? std::string() : summary + first;
}

std::vector<std::string> FactoryPresets()
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(TIDEPULL_PRESETS_DIR, error))
        if (entry.path().extension() == ".vstpreset")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Identifier(std::string text)
{
    for (char& c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return text;
}

// A render of the same input through one program of each build. In `args`,
// "IN", "OUT" and "KEY" stand for the files the test writes.
struct Scene {
    std::string name;
    std::string tool;
    int rate;
    std::vector<std::string> args;
    double silenceAfter = 0.0;   // seconds of silence after 1.5 s of bursts
};

void PrintTo(const Scene& scene, std::ostream* os)
{
    *os << scene.name;
}

const char* const kVst3Render = "tidepull-render";
// The LV2 tests' lilv host: each build's renders through its own Tidepull.lv2.
const char* const kLv2Render = "tests/arm64/lv2render/tidepull_lv2_render";

// tidepull-render through the universal bundle: every factory preset at both
// rates and sample sizes, then the scenes that reach the sidechain,
// automation and the chain's decay into the subnormal range. The LV2 module:
// every preset at both rates, and once with a key on the sidechain ports.
std::vector<Scene> Scenes()
{
    const std::vector<std::string> vst3 = {"--plugin", kUniversal};
    auto with = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    std::vector<Scene> scenes;
    for (const std::string& preset : FactoryPresets()) {
        const std::string file = std::string(TIDEPULL_PRESETS_DIR) + "/" + preset + ".vstpreset";
        for (int rate : {44100, 96000}) {
            const std::string at = Identifier(preset) + "_" + std::to_string(rate);
            for (const char* bits : {"32", "64"})
                scenes.push_back({at + "_" + bits, kVst3Render, rate,
                                  with(vst3, {"--precision", bits, "--preset", file, "IN", "OUT"})});
            scenes.push_back({"lv2_" + at, kLv2Render, rate, {preset, "IN", "OUT"}});
        }
    }
    scenes.push_back(
        {"sidechain", kVst3Render, 48000,
         with(vst3,
              {"--precision", "64", "--preset", std::string(TIDEPULL_PRESETS_DIR) + "/Sidechain Duck.vstpreset",
               "--sidechain", "KEY", "IN", "OUT"})});
    scenes.push_back({"lv2_sidechain", kLv2Render, 48000, {"Sidechain Duck", "IN", "OUT", "KEY"}});
    // Seven parameters moving at once, in blocks of an odd size.
    std::vector<std::string> automated = with(vst3, {"--precision", "64", "--block", "37"});
    for (const char* ramp : {"AC Threshold=5:45", "Input Atten=-6:9", "DC Threshold=1.5:8", "Release=0:5", "HPF=20:320",
                             "MIX=100:55", "Output=2:-4"})
        automated.insert(automated.end(), {"--ramp", ramp});
    scenes.push_back({"automation", kVst3Render, 96000, with(automated, {"IN", "OUT"})});
    scenes.push_back({"decay_into_silence", kVst3Render, 44100,
                      with(vst3, {"--precision", "64", "--set", "AC Threshold=30", "--set", "Release=1", "IN", "OUT"}),
                      15.0});
    return scenes;
}

class ArmRender : public TempFolderTest, public ::testing::WithParamInterface<Scene> {};

TEST_P(ArmRender, IsBitIdenticalToX86)
{
    const Scene& scene = GetParam();
    ASSERT_TRUE(fs::exists(kUniversal + "/Contents/aarch64-linux/Tidepull.so")) << "no universal bundle";
    TestAudio input = TestAudio::bursts(2, 1.5, scene.rate);
    for (auto& channel : input.channels)
        channel.resize(channel.size() + static_cast<size_t>(scene.silenceAfter * scene.rate), 0.0);
    // A key with the channels swapped and the left a third of a second early.
    TestAudio key = TestAudio::bursts(2, 1.5, scene.rate);
    std::swap(key.channels[0], key.channels[1]);
    std::rotate(key.channels[0].begin(), key.channels[0].begin() + scene.rate / 3, key.channels[0].end());
    ASSERT_TRUE(input.writeFloatWav(path("in.wav")) && key.writeFloatWav(path("key.wav")));

    TestAudio rendered[2];
    for (bool onArm : {false, true}) {
        std::vector<std::string> args = scene.args;
        for (std::string& a : args)
            a = a == "IN" ? path("in.wav") : a == "KEY" ? path("key.wav") : a == "OUT" ? path("out.wav") : a;
        const ChildProcess::Result r = RunTool(onArm, scene.tool, args);
        ASSERT_EQ(r.ExitCode(), 0) << (onArm ? "arm64: " : "x86-64: ") << r.err;
        ASSERT_TRUE(rendered[onArm].read(path("out.wav")));
    }
    ASSERT_GT(rendered[0].frames(), 0);
    EXPECT_EQ(BitDifferences(rendered[0], rendered[1]), "");
}

INSTANTIATE_TEST_SUITE_P(Scenes, ArmRender, ::testing::ValuesIn(Scenes()),
                         [](const ::testing::TestParamInfo<Scene>& info) { return info.param.name; });

StripImage DecodedPng(const std::string& file)
{
    const std::string bytes = TestAudio::fileBytes(file);
    StripImage image;
    EXPECT_TRUE(image.Decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())) << file;
    return image;
}

// Empty when both pictures have the same size and every pixel the same RGBA.
std::string PixelDifferences(const std::string& x86File, const std::string& armFile)
{
    const StripImage x86 = DecodedPng(x86File);
    const StripImage arm = DecodedPng(armFile);
    if (x86.Width() != arm.Width() || x86.Height() != arm.Height() || x86.Width() == 0)
        return "the sizes differ";
    long count = 0;
    for (int y = 0; y < x86.Height(); ++y)
        for (int x = 0; x < x86.Width(); ++x)
            count += std::memcmp(x86.Pixel(x, y), arm.Pixel(x, y), 4) != 0;
    return count == 0 ? std::string() : std::to_string(count) + " pixels differ";
}

// The editor drawn by each build's tidepull-snapshot: at 1x the strips as
// they are, at 2x the double-density ones, at 1.5x those resampled; with the
// demo signal run through first, so the meter shows the chain's output.
class ArmSnapshot : public TempFolderTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ArmSnapshot, DrawsTheEditorPixelForPixelAsX86)
{
    const std::vector<std::string> args = {"--set", "AC Threshold=22", "--set",  "DC Threshold=5", "--set",   "HPF=140",
                                           "--set", "MIX=70",          "--demo", "--scale",        GetParam()};
    for (bool onArm : {false, true}) {
        std::vector<std::string> run = args;
        run.push_back(path(onArm ? "arm64.png" : "x86.png"));
        const ChildProcess::Result r = RunTool(onArm, "tidepull-snapshot", run);
        ASSERT_EQ(r.ExitCode(), 0) << (onArm ? "arm64" : "x86-64") << " snapshot: " << r.err;
    }
    EXPECT_EQ(PixelDifferences(path("x86.png"), path("arm64.png")), "");
}

INSTANTIATE_TEST_SUITE_P(Scales, ArmSnapshot, ::testing::Values("1", "2", "1.5"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
    return "scale_" + Identifier(info.param);
});

std::vector<std::string> FilesUnder(const std::string& root)
{
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files.push_back(fs::relative(entry.path(), root).string());
    std::sort(files.begin(), files.end());
    return files;
}

uint16_t ElfMachine(const std::string& file)
{
    const std::string bytes = TestAudio::fileBytes(file);
    if (bytes.size() < 20 ||
        bytes.compare(0, 4,
                      "\x7f"
                      "ELF") != 0)
        return 0;
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[18]) | static_cast<uint8_t>(bytes[19]) << 8);
}

constexpr uint16_t kElfX86_64 = 62;
constexpr uint16_t kElfAArch64 = 183;

// What the arm64 tools wrote under the emulator while building (the bundle's
// moduleinfo.json and editor snapshots, the presets, the LV2 Turtle) against
// what this build's wrote: the same, so one set fits both.
TEST(ArmBuild, WritesTheSameResourcesPresetsAndTurtle)
{
    struct Folder {
        std::string x86;
        std::string arm;
        std::string skip;   // the libraries
    };
    const std::vector<Folder> folders = {
        {kX86Build + "/Tidepull.vst3/Contents/Resources", kArmBuild + "/Tidepull.vst3/Contents/Resources", ""},
        {TIDEPULL_PRESETS_DIR, kArmBuild + "/presets", ""},
        {kX86Build + "/Tidepull.lv2", kArmBuild + "/Tidepull.lv2", ".so"},
    };
    for (const Folder& folder : folders) {
        SCOPED_TRACE(folder.arm);
        std::vector<std::string> x86Files = FilesUnder(folder.x86);
        std::vector<std::string> armFiles = FilesUnder(folder.arm);
        ASSERT_FALSE(x86Files.empty());
        EXPECT_EQ(armFiles, x86Files);
        for (const std::string& file : x86Files) {
            if (!folder.skip.empty() && fs::path(file).extension() == folder.skip)
                continue;
            const std::string x86Path = folder.x86 + "/" + file;
            const std::string armPath = folder.arm + "/" + file;
            if (fs::path(file).extension() == ".png")
                EXPECT_EQ(PixelDifferences(x86Path, armPath), "") << file;
            else
                EXPECT_TRUE(TestAudio::fileBytes(x86Path) == TestAudio::fileBytes(armPath)) << file << " differs";
        }
    }
}

// One Tidepull.vst3 for both: each architecture's library where hosts look
// for it, and one set of resources.
TEST(ArmBuild, UniversalBundleCarriesBothLibrariesAndOneSetOfResources)
{
    const std::string x86Library = kX86Build + "/Tidepull.vst3/Contents/x86_64-linux/Tidepull.so";
    const std::string armLibrary = kArmBuild + "/Tidepull.vst3/Contents/aarch64-linux/Tidepull.so";
    EXPECT_EQ(ElfMachine(x86Library), kElfX86_64);
    EXPECT_EQ(ElfMachine(armLibrary), kElfAArch64);

    std::vector<std::string> expected = {"aarch64-linux/Tidepull.so", "x86_64-linux/Tidepull.so"};
    for (const std::string& resource : FilesUnder(kX86Build + "/Tidepull.vst3/Contents/Resources"))
        expected.push_back("Resources/" + resource);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesUnder(kUniversal + "/Contents"), expected);
    EXPECT_TRUE(TestAudio::fileBytes(kUniversal + "/Contents/x86_64-linux/Tidepull.so") ==
                TestAudio::fileBytes(x86Library));
    EXPECT_TRUE(TestAudio::fileBytes(kUniversal + "/Contents/aarch64-linux/Tidepull.so") ==
                TestAudio::fileBytes(armLibrary));

    // The LV2 bundle is one per architecture: the same Turtle, the modules of its own.
    EXPECT_EQ(ElfMachine(kArmBuild + "/Tidepull.lv2/Tidepull.so"), kElfAArch64);
}

}   // namespace
