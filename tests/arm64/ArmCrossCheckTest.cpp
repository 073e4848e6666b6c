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
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kX86Build = TIDEPULL_X86_BUILD_DIR;
const std::string kArmBuild = TIDEPULL_ARM64_BUILD_DIR;
const std::string kUniversal = kArmBuild + "/universal/Tidepull.vst3";

// Renders of a few seconds take some seconds under the emulator; more on a busy machine.
constexpr std::chrono::seconds kToolDeadline{300};

std::string Qemu()
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string candidate = dirs.substr(start, end - start) + "/qemu-aarch64";
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "/usr/bin/qemu-aarch64";
}

// One of the tools, either build's: the arm64 one through the emulator.
ChildProcess::Result RunTool(bool arm, const std::string& tool, std::vector<std::string> args)
{
    if (!arm)
        return ChildProcess::Run(kX86Build + "/" + tool, args, kToolDeadline);
    args.insert(args.begin(), kArmBuild + "/" + tool);
    return ChildProcess::Run(Qemu(), args, kToolDeadline);
}

uint64_t Bits(double v)
{
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// Empty when every sample of every channel has the same bits; else how many
// differ, where the first is and how far apart they are at most.
std::string BitDifferences(const TestAudio& x86, const TestAudio& arm)
{
    if (x86.channels.size() != arm.channels.size() || x86.frames() != arm.frames())
        return "the shapes differ: " + std::to_string(x86.channels.size()) + " x " + std::to_string(x86.frames()) +
            " against " + std::to_string(arm.channels.size()) + " x " + std::to_string(arm.frames());
    long count = 0;
    long firstFrame = -1;
    size_t firstChannel = 0;
    double largest = 0.0;
    for (size_t c = 0; c < x86.channels.size(); ++c) {
        for (long i = 0; i < x86.frames(); ++i) {
            const double a = x86.channels[c][static_cast<size_t>(i)];
            const double b = arm.channels[c][static_cast<size_t>(i)];
            if (Bits(a) == Bits(b))
                continue;
            if (count++ == 0 || i < firstFrame) {
                firstFrame = i;
                firstChannel = c;
            }
            largest = std::max(largest, std::fabs(a - b));
        }
    }
    if (count == 0)
        return std::string();
    const double a = x86.channels[firstChannel][static_cast<size_t>(firstFrame)];
    const double b = arm.channels[firstChannel][static_cast<size_t>(firstFrame)];
    char text[400];
    std::snprintf(text, sizeof text,
                  "%ld samples differ; the first at frame %ld (%.4f s) channel %zu: x86-64 %.17g (%016" PRIx64
                  "), arm64 %.17g (%016" PRIx64 "); the largest difference %g",
                  count, firstFrame, static_cast<double>(firstFrame) / x86.sampleRate, firstChannel, a, Bits(a), b,
                  Bits(b), largest);
    return text;
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

std::string PresetFile(const std::string& name)
{
    return std::string(TIDEPULL_PRESETS_DIR) + "/" + name + ".vstpreset";
}

// A render of the same input and options through each build.
struct Scene {
    std::string name;
    int rate;
    int precision;
    std::vector<std::string> options;
    double seconds = 1.5;   // of bursts
    double silenceAfter = 0.0;   // then this much silence
    bool sidechain = false;   // a mono key of its own on the sidechain input
};

void PrintTo(const Scene& scene, std::ostream* os)
{
    *os << scene.name;
}

std::string Identifier(std::string text)
{
    for (char& c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return text;
}

// Every factory preset at both rates and sample sizes, then the scenes that
// reach the sidechain, automation and the chain's decay into the subnormal
// range.
std::vector<Scene> Scenes()
{
    std::vector<Scene> scenes;
    for (const std::string& preset : FactoryPresets())
        for (int rate : {44100, 96000})
            for (int precision : {32, 64})
                scenes.push_back({Identifier(preset) + "_" + std::to_string(rate) + "_" + std::to_string(precision),
                                  rate, precision, {"--preset", PresetFile(preset)}});

    Scene keyed{"sidechain", 48000, 64, {"--preset", PresetFile("Sidechain Duck"), "--set", "External Sidechain=1"}};
    keyed.sidechain = true;
    scenes.push_back(keyed);

    Scene automated{"automation",
                    96000,
                    64,
                    {"--block", "37", "--ramp", "AC Threshold=5:45", "--ramp", "Input Atten=-6:9", "--ramp",
                     "DC Threshold=1.5:8", "--ramp", "Release=0:5", "--ramp", "HPF=20:320", "--ramp", "MIX=100:55",
                     "--ramp", "Output=2:-4"}};
    automated.seconds = 2.0;
    scenes.push_back(automated);

    Scene decay{"decay_into_silence", 44100, 64, {"--set", "AC Threshold=30", "--set", "Release=1"}};
    decay.seconds = 1.0;
    decay.silenceAfter = 15.0;
    scenes.push_back(decay);
    return scenes;
}

class ArmRender : public TempFolderTest, public ::testing::WithParamInterface<Scene> {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        ASSERT_TRUE(fs::exists(kUniversal + "/Contents/aarch64-linux/Tidepull.so")) << "no universal bundle at "
                                                                                    << kUniversal;
    }

    // Both renders of the scene, read back; the arm64 one also returned as text.
    void Render(const Scene& scene, TestAudio& x86, TestAudio& arm)
    {
        TestAudio input = TestAudio::bursts(2, scene.seconds, scene.rate);
        for (auto& channel : input.channels)
            channel.resize(channel.size() + static_cast<size_t>(scene.silenceAfter * scene.rate), 0.0);
        ASSERT_TRUE(input.writeFloatWav(path("in.wav")));
        std::vector<std::string> args = scene.options;
        args.insert(args.begin(), {"--plugin", kUniversal, "--precision", std::to_string(scene.precision)});
        if (scene.sidechain) {
            // A key at another pitch and rhythm than the input's bursts.
            TestAudio key = TestAudio::bursts(1, scene.seconds * 0.75, scene.rate);
            ASSERT_TRUE(key.writeFloatWav(path("key.wav")));
            args.insert(args.end(), {"--sidechain", path("key.wav")});
        }
        for (bool onArm : {false, true}) {
            const std::string out = path(onArm ? "arm64.wav" : "x86.wav");
            std::vector<std::string> run = args;
            run.insert(run.end(), {path("in.wav"), out});
            const ChildProcess::Result r = RunTool(onArm, "tidepull-render", run);
            ASSERT_EQ(r.ExitCode(), 0) << (onArm ? "arm64" : "x86-64") << " render: " << r.err;
            ASSERT_TRUE((onArm ? arm : x86).read(out)) << out;
        }
    }
};

TEST_P(ArmRender, IsBitIdenticalToX86)
{
    const Scene& scene = GetParam();
    TestAudio x86;
    TestAudio arm;
    ASSERT_NO_FATAL_FAILURE(Render(scene, x86, arm));
    ASSERT_GT(x86.frames(), 0);
    EXPECT_EQ(BitDifferences(x86, arm), "");
}

INSTANTIATE_TEST_SUITE_P(Scenes, ArmRender, ::testing::ValuesIn(Scenes()),
                         [](const ::testing::TestParamInfo<Scene>& info) { return info.param.name; });

// The LV2 build: each build's lilv host program renders each factory preset
// through its own Tidepull.lv2, at both rates, and once with a key on the
// sidechain ports.
struct Lv2Scene {
    std::string name;
    std::string preset;
    int rate;
    bool keyed;
};

std::vector<Lv2Scene> Lv2Scenes()
{
    std::vector<Lv2Scene> scenes;
    for (const std::string& preset : FactoryPresets())
        for (int rate : {44100, 96000})
            scenes.push_back({Identifier(preset) + "_" + std::to_string(rate), preset, rate, false});
    scenes.push_back({"sidechain", "Sidechain Duck", 48000, true});
    return scenes;
}

void PrintTo(const Lv2Scene& scene, std::ostream* os)
{
    *os << scene.name;
}

class ArmLv2Render : public TempFolderTest, public ::testing::WithParamInterface<Lv2Scene> {};

TEST_P(ArmLv2Render, IsBitIdenticalToX86)
{
    const Lv2Scene& scene = GetParam();
    ASSERT_TRUE(TestAudio::bursts(2, 1.5, scene.rate).writeFloatWav(path("in.wav")));
    TestAudio key = TestAudio::bursts(2, 1.5, scene.rate);
    std::swap(key.channels[0], key.channels[1]);
    std::rotate(key.channels[0].begin(), key.channels[0].begin() + scene.rate / 3, key.channels[0].end());
    ASSERT_TRUE(key.writeFloatWav(path("key.wav")));
    TestAudio rendered[2];
    for (bool onArm : {false, true}) {
        std::vector<std::string> args = {scene.preset, path("in.wav"), path(onArm ? "arm64.wav" : "x86.wav")};
        if (scene.keyed)
            args.push_back(path("key.wav"));
        const ChildProcess::Result r = RunTool(onArm, "tests/arm64/lv2render/tidepull_lv2_render", args);
        ASSERT_EQ(r.ExitCode(), 0) << (onArm ? "arm64" : "x86-64") << " LV2 render: " << r.err;
        ASSERT_TRUE(rendered[onArm].read(args[2])) << args[2];
    }
    ASSERT_GT(rendered[0].frames(), 0);
    EXPECT_EQ(BitDifferences(rendered[0], rendered[1]), "");
}

INSTANTIATE_TEST_SUITE_P(Presets, ArmLv2Render, ::testing::ValuesIn(Lv2Scenes()),
                         [](const ::testing::TestParamInfo<Lv2Scene>& info) { return info.param.name; });

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
        return "sizes " + std::to_string(x86.Width()) + " x " + std::to_string(x86.Height()) + " and " +
            std::to_string(arm.Width()) + " x " + std::to_string(arm.Height());
    long count = 0;
    std::string first;
    for (int y = 0; y < x86.Height(); ++y) {
        for (int x = 0; x < x86.Width(); ++x) {
            if (std::memcmp(x86.Pixel(x, y), arm.Pixel(x, y), 4) == 0)
                continue;
            if (count++ == 0)
                first = " (the first at " + std::to_string(x) + ", " + std::to_string(y) + ")";
        }
    }
    return count == 0 ? std::string() : std::to_string(count) + " pixels differ" + first;
}

// The editor drawn by each build's tidepull-snapshot: at 1x the strips as
// they are, at 2x the double-density ones, at 1.5x those resampled; with the
// demo signal run through first, so the meter shows the chain's output.
class ArmSnapshot : public TempFolderTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ArmSnapshot, DrawsTheEditorPixelForPixelAsX86)
{
    const std::vector<std::string> args = {"--set", "AC Threshold=22", "--set", "DC Threshold=5", "--set", "HPF=140",
                                           "--set", "MIX=70", "--demo", "--scale", GetParam()};
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
    if (bytes.size() < 20 || bytes.compare(0, 4, "\x7f" "ELF") != 0)
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
    for (const char* module : {"Tidepull.so", "Tidepull_ui.so"}) {
        EXPECT_EQ(ElfMachine(kX86Build + "/Tidepull.lv2/" + module), kElfX86_64) << module;
        EXPECT_EQ(ElfMachine(kArmBuild + "/Tidepull.lv2/" + module), kElfAArch64) << module;
    }
}

// Each build's tidepull-render, given the universal bundle, names it and
// loads its own architecture's library (an x86-64 process cannot load the
// other and the reverse); both list the same parameters.
TEST(ArmBuild, EachToolLoadsItsOwnLibraryFromTheUniversalBundle)
{
    std::string listings[2];
    for (bool onArm : {false, true}) {
        const ChildProcess::Result r = RunTool(onArm, "tidepull-render", {"--plugin", kUniversal, "--list-params"});
        ASSERT_EQ(r.ExitCode(), 0) << (onArm ? "arm64: " : "x86-64: ") << r.err;
        EXPECT_NE(r.out.find("(" + kUniversal + ")"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("11 parameters"), std::string::npos) << r.out;
        listings[onArm] = r.out;
    }
    EXPECT_EQ(listings[1], listings[0]);
}

}   // namespace
