// The Linux side of the Windows tests. LinuxSide runs before the Windows
// program (it writes the state blob the Windows build loads); CrossCheck runs
// after it and compares what the Windows build wrote with the Linux build.
#include "CrossHost.h"
#include "CrossScenario.h"
#include "MathTable.h"
#include "PluginLibrary.h"
#include "RawFile.h"
#include "StateBlob.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// TIDEPULL_WIN_EXCHANGE points the checks at another run's files (the
// installed plug-in's).
std::string ExchangeDir()
{
    const char* other = std::getenv("TIDEPULL_WIN_EXCHANGE");
    return other && *other ? other : TIDEPULL_WIN_EXCHANGE_DIR;
}

std::string Exchange(const char* name)
{
    return ExchangeDir() + "/" + name;
}

PluginLibrary& LinuxPlugin()
{
    static PluginLibrary library(TIDEPULL_BUNDLE_BINARY);
    return library;
}

std::vector<uint8_t> SaveScenarioState()
{
    IPluginFactory* factory = LinuxPlugin().GetFactory();
    if (!factory)
        return {};
    CrossHost host(factory);
    factory->release();
    if (!host.Prepare64(CrossScenario::kSampleRate, CrossScenario::kMaxBlock) ||
        !host.Apply(CrossScenario::StateSettings()))
        return {};
    return host.SaveState();
}

std::vector<double> RenderScenario()
{
    IPluginFactory* factory = LinuxPlugin().GetFactory();
    if (!factory)
        return {};
    CrossHost host(factory);
    factory->release();
    std::vector<double> output;
    if (!host.Prepare64(CrossScenario::kSampleRate, CrossScenario::kMaxBlock) ||
        !host.Render(CrossScenario::MainInput(), CrossScenario::SidechainInput(), CrossScenario::Steps(),
                     CrossScenario::kBlockSize, output))
        return {};
    return output;
}

uint64_t Bits(double v)
{
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// Distance in units in the last place between two finite doubles.
uint64_t UlpDistance(double a, double b)
{
    auto ordered = [](double v) {
        const uint64_t u = Bits(v);
        return (u & 0x8000000000000000ull) ? 0x8000000000000000ull - (u & 0x7FFFFFFFFFFFFFFFull)
                                           : 0x8000000000000000ull + u;
    };
    const uint64_t x = ordered(a), y = ordered(b);
    return x > y ? x - y : y - x;
}

// Where and how far two interleaved stereo runs differ, for the failure text.
std::string DescribeDifferences(const std::vector<double>& linuxRun, const std::vector<double>& windowsRun)
{
    size_t count = 0;
    size_t first = 0;
    uint64_t maxUlp = 0;
    double maxAbs = 0.0;
    for (size_t i = 0; i < linuxRun.size(); ++i) {
        if (Bits(linuxRun[i]) == Bits(windowsRun[i]))
            continue;
        if (count++ == 0)
            first = i;
        maxUlp = std::max(maxUlp, UlpDistance(linuxRun[i], windowsRun[i]));
        maxAbs = std::max(maxAbs, std::fabs(linuxRun[i] - windowsRun[i]));
    }
    char text[512];
    std::snprintf(text, sizeof text,
                  "%zu of %zu samples differ; first at frame %zu (%.4f s) channel %zu: "
                  "Linux %.17g (%016" PRIx64 "), Windows %.17g (%016" PRIx64 "); "
                  "largest difference %g (%" PRIu64 " ulp)",
                  count, linuxRun.size(), first / 2, static_cast<double>(first / 2) / CrossScenario::kSampleRate,
                  first % 2, linuxRun[first], Bits(linuxRun[first]), windowsRun[first], Bits(windowsRun[first]), maxAbs,
                  maxUlp);
    return text;
}

}   // namespace

TEST(LinuxSide, WritesTheStateBlobForTheWindowsBuild)
{
    ASSERT_TRUE(LinuxPlugin().Loaded()) << LinuxPlugin().Error();
    // What the Windows program writes must come from this run.
    for (const char* stale : {"windows-input.f64", "windows-output.f64", "windows-state.bin", "windows-math.f64"})
        std::remove(Exchange(stale).c_str());
    for (const auto& entry : std::filesystem::directory_iterator(ExchangeDir()))
        if (entry.path().filename().string().rfind("windows-preset-", 0) == 0)
            std::filesystem::remove(entry.path());
    const std::vector<uint8_t> blob = SaveScenarioState();
    ASSERT_EQ(blob.size(), StateBlob::kSize);
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(StateBlob::Value(blob, i), CrossScenario::StatePlainValues()[static_cast<size_t>(i)], 1e-9) << i;
    ASSERT_TRUE(RawFile::Write(Exchange("linux-state.bin"), blob.data(), blob.size()));
}

TEST(CrossCheck, WindowsInputIsTheSameSignal)
{
    std::vector<double> windowsInput;
    ASSERT_TRUE(RawFile::ReadDoubles(Exchange("windows-input.f64"), windowsInput));
    const std::vector<double> input = CrossScenario::MainInput();
    ASSERT_EQ(windowsInput.size(), input.size());
    EXPECT_EQ(std::memcmp(windowsInput.data(), input.data(), input.size() * sizeof(double)), 0)
        << DescribeDifferences(input, windowsInput);
}

TEST(CrossCheck, WindowsOutputIsBitIdenticalToLinux)
{
    std::vector<double> windowsOutput;
    ASSERT_TRUE(RawFile::ReadDoubles(Exchange("windows-output.f64"), windowsOutput));
    const std::vector<double> linuxOutput = RenderScenario();
    ASSERT_EQ(linuxOutput.size(), static_cast<size_t>(2 * CrossScenario::kFrames));
    ASSERT_TRUE(RawFile::WriteDoubles(Exchange("linux-output.f64"), linuxOutput));
    ASSERT_EQ(windowsOutput.size(), linuxOutput.size());
    EXPECT_EQ(std::memcmp(windowsOutput.data(), linuxOutput.data(), linuxOutput.size() * sizeof(double)), 0)
        << DescribeDifferences(linuxOutput, windowsOutput);
}

TEST(CrossCheck, StateSavedByTheWindowsBuildLoads)
{
    std::vector<uint8_t> windowsBlob;
    ASSERT_TRUE(RawFile::Read(Exchange("windows-state.bin"), windowsBlob));
    ASSERT_EQ(windowsBlob.size(), StateBlob::kSize);
    EXPECT_EQ(windowsBlob, SaveScenarioState());

    IPluginFactory* factory = LinuxPlugin().GetFactory();
    ASSERT_NE(factory, nullptr);
    CrossHost host(factory);
    factory->release();
    ASSERT_TRUE(host.Prepare64(CrossScenario::kSampleRate, CrossScenario::kMaxBlock));
    EXPECT_EQ(host.LoadState(windowsBlob), kResultOk);
    EXPECT_EQ(host.SaveState(), windowsBlob);
    EXPECT_NEAR(host.Controller()->getParamNormalized(5), 0.5, 1e-12);   // HPF at 260
}

TEST(CrossCheck, WindowsMathIsBitIdenticalToLinux)
{
    std::vector<double> windowsResults;
    ASSERT_TRUE(RawFile::ReadDoubles(Exchange("windows-math.f64"), windowsResults));
    const std::vector<double> linuxResults = MathTable::Results();
    ASSERT_EQ(windowsResults.size(), linuxResults.size());
    size_t differing = 0;
    for (size_t i = 0; i < linuxResults.size(); ++i) {
        if (Bits(windowsResults[i]) == Bits(linuxResults[i]))
            continue;
        if (++differing <= 10)
            ADD_FAILURE() << std::setprecision(17) << MathTable::FunctionAt(i) << "(" << MathTable::ArgumentAt(i)
                          << "): Linux " << linuxResults[i] << ", Windows " << windowsResults[i] << " ("
                          << UlpDistance(linuxResults[i], windowsResults[i]) << " ulp)";
    }
    EXPECT_EQ(differing, 0u) << "of " << linuxResults.size() << " results";
}

// Each Windows preset file, loaded by the Windows build, renders what the
// Linux build renders from the Linux file of the same name.
TEST(CrossCheck, WindowsPresetsRenderLikeTheLinuxPresets)
{
    size_t presets = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TIDEPULL_LINUX_PRESETS_DIR)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".vstpreset")
            continue;
        ++presets;
        std::vector<uint8_t> file;
        ASSERT_TRUE(RawFile::Read(entry.path().string(), file)) << name;
        IPluginFactory* factory = LinuxPlugin().GetFactory();
        ASSERT_NE(factory, nullptr);
        CrossHost host(factory);
        factory->release();
        ASSERT_TRUE(host.Prepare64(CrossScenario::kSampleRate, CrossScenario::kMaxBlock));
        ASSERT_TRUE(host.LoadPreset(file)) << name;
        std::vector<double> linuxOutput;
        ASSERT_TRUE(host.Render(CrossScenario::MainInput(), CrossScenario::SidechainInput(), {},
                                CrossScenario::kBlockSize, linuxOutput));

        std::vector<double> windowsOutput;
        ASSERT_TRUE(RawFile::ReadDoubles(Exchange(("windows-preset-" + name + ".f64").c_str()), windowsOutput))
            << "the Windows build rendered no output for " << name;
        ASSERT_EQ(windowsOutput.size(), linuxOutput.size()) << name;
        EXPECT_EQ(std::memcmp(windowsOutput.data(), linuxOutput.data(), linuxOutput.size() * sizeof(double)), 0)
            << name << ": " << DescribeDifferences(linuxOutput, windowsOutput);
    }
    EXPECT_EQ(presets, 6u);
}
