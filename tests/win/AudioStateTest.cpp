// Processing and state on Windows; the files written here are compared with
// the Linux build's by the Linux side of these tests.
#include "CrossHost.h"
#include "CrossScenario.h"
#include "RawFile.h"
#include "SharedPlugin.h"
#include "StateBlob.h"
#include "TestRunner.h"

#include <cmath>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::string ExchangeFile(TestRunner& t, const char* name)
{
    const std::string dir = t.Option("exchange");
    return dir.empty() ? std::string() : dir + "\\" + name;
}

std::vector<uint8_t> SaveScenarioState(TestRunner& t, IPluginFactory* factory)
{
    CrossHost host(factory);
    if (!t.Check(host.Prepare64(CrossScenario::kSampleRate, CrossScenario::kMaxBlock), "Prepare64", __FILE__, __LINE__))
        return {};
    t.Check(host.Apply(CrossScenario::StateSettings()), "Apply", __FILE__, __LINE__);
    return host.SaveState();
}

}   // namespace

WIN_TEST(AudioScenarioProcessesIn64BitAndIsWritten)
{
    IPluginFactory* factory = SharedPlugin().GetFactory();
    REQUIRE(factory);
    std::vector<double> output;
    const std::vector<double> input = CrossScenario::MainInput();
    {
        CrossHost host(factory);
        factory->release();
        REQUIRE(host.Valid());
        REQUIRE(host.Prepare64(CrossScenario::kSampleRate, CrossScenario::kMaxBlock));
        REQUIRE(host.Render(input, CrossScenario::SidechainInput(), CrossScenario::Steps(), CrossScenario::kBlockSize,
                            output));
    }
    REQUIRE(output.size() == input.size());
    size_t changed = 0;
    bool finite = true;
    for (size_t i = 0; i < output.size(); ++i) {
        finite = finite && std::isfinite(output[i]);
        changed += output[i] != input[i] ? 1 : 0;
    }
    CHECK(finite);
    // Saturation, compression and gains touch nearly every sample.
    t.Check(changed > output.size() / 2, "output differs from the input", __FILE__, __LINE__,
            std::to_string(changed) + " of " + std::to_string(output.size()));

    const std::string inputFile = ExchangeFile(t, "windows-input.f64");
    if (!inputFile.empty()) {
        CHECK(RawFile::WriteDoubles(inputFile, input));
        CHECK(RawFile::WriteDoubles(ExchangeFile(t, "windows-output.f64"), output));
    }
}

WIN_TEST(StateSavesSeventySixBytesAndRoundTrips)
{
    IPluginFactory* factory = SharedPlugin().GetFactory();
    REQUIRE(factory);
    const std::vector<uint8_t> blob = SaveScenarioState(t, factory);
    REQUIRE(blob.size() == StateBlob::kSize);
    const std::vector<double>& plain = CrossScenario::StatePlainValues();
    for (int i = 0; i < 9; ++i)
        t.Check(std::fabs(StateBlob::Value(blob, i) - plain[static_cast<size_t>(i)]) < 1e-9, "saved plain value",
                __FILE__, __LINE__, "parameter " + std::to_string(i) + ": " + TestText(StateBlob::Value(blob, i)));
    CHECK_EQ(StateBlob::BypassWord(blob), 0u);

    CrossHost other(factory);
    factory->release();
    REQUIRE(other.Prepare64(CrossScenario::kSampleRate, CrossScenario::kMaxBlock));
    CHECK_EQ(other.LoadState(blob), kResultOk);
    CHECK(other.SaveState() == blob);
    // Release at 3 of 0..5.
    CHECK(std::fabs(other.Controller()->getParamNormalized(4) - 0.6) < 1e-12);

    const std::string stateFile = ExchangeFile(t, "windows-state.bin");
    if (!stateFile.empty())
        CHECK(RawFile::Write(stateFile, blob.data(), blob.size()));
}

WIN_TEST(StateSavedByTheLinuxBuildLoads)
{
    const std::string path = t.Option("linux-state");
    t.Check(!path.empty(), "--linux-state given", __FILE__, __LINE__);
    std::vector<uint8_t> linuxBlob;
    REQUIRE(RawFile::Read(path, linuxBlob));
    REQUIRE(linuxBlob.size() == StateBlob::kSize);

    IPluginFactory* factory = SharedPlugin().GetFactory();
    REQUIRE(factory);
    const std::vector<uint8_t> ownBlob = SaveScenarioState(t, factory);
    CrossHost host(factory);
    factory->release();
    REQUIRE(host.Prepare64(CrossScenario::kSampleRate, CrossScenario::kMaxBlock));
    CHECK_EQ(host.LoadState(linuxBlob), kResultOk);
    CHECK(host.SaveState() == linuxBlob);
    // The same settings give the same bytes on both platforms.
    CHECK(ownBlob == linuxBlob);
}
