// The factory presets as the build wrote them, loaded as a host loads them.
#include "FactoryPresets.h"
#include "ParameterCatalog.h"
#include "PresetTestHost.h"
#include "VstPreset.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace fs = std::filesystem;
using namespace Steinberg;

namespace {
std::string presetPath(const FactoryPresets::Preset& preset)
{
    return std::string(TIDEPULL_TEST_PRESETS) + "/" + FactoryPresets::fileName(preset);
}

std::vector<uint8_t> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class FactoryPresetFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(PresetTestHost::loadError(), "");
        std::string error;
        ASSERT_TRUE(host_.create(error)) << error;
        ASSERT_TRUE(catalog_.read(host_.instance().controller(), error)) << error;
    }

    // The parameter ID of each column of the table; IDs are the state's order.
    std::vector<Vst::ParamID> columnIds() const
    {
        std::vector<Vst::ParamID> ids;
        for (const char* title : FactoryPresets::parameterTitles()) {
            const ParameterCatalog::Entry* entry = catalog_.findPluginParameter(title);
            EXPECT_NE(entry, nullptr) << title;
            ids.push_back(entry ? entry->info.id : 0);
        }
        return ids;
    }

    PresetTestHost host_;
    ParameterCatalog catalog_;
};

TEST_F(FactoryPresetFiles, TheFolderHoldsExactlyTheTablesPresets)
{
    std::set<std::string> expected;
    for (const FactoryPresets::Preset& preset : FactoryPresets::all())
        EXPECT_TRUE(expected.insert(FactoryPresets::fileName(preset)).second) << "twice: " << preset.name;
    std::set<std::string> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(TIDEPULL_TEST_PRESETS))
        found.insert(entry.path().filename().string());
    EXPECT_EQ(found, expected);
    EXPECT_GE(expected.size(), 5u);
}

TEST_F(FactoryPresetFiles, EachStoresTheTablesValuesForThisPlugIn)
{
    const std::vector<Vst::ParamID> ids = columnIds();
    Vst::IEditController* controller = host_.instance().controller();
    for (const FactoryPresets::Preset& preset : FactoryPresets::all()) {
        SCOPED_TRACE(preset.name);
        std::string classId;
        const std::vector<uint8_t> stored = PresetTestHost::componentChunkOf(presetPath(preset), &classId);
        ASSERT_EQ(stored.size(), 8 * PresetTestHost::kParameterCount + 4);
        EXPECT_EQ(classId, VstPreset::classIdText(PresetTestHost::effect().cid));

        const std::vector<double> values = PresetTestHost::valuesOf(stored);
        for (size_t column = 0; column < ids.size(); ++column) {
            const double wanted = preset.values[column];
            SCOPED_TRACE(FactoryPresets::parameterTitles()[column]);
            ASSERT_LT(ids[column], values.size());
            // Set as a host sets it, through a normalised value: equal to
            // within rounding, and inside the range, so nothing was limited.
            EXPECT_NEAR(values[ids[column]], wanted, 1e-12 * std::fmax(1.0, std::fabs(wanted)));
            EXPECT_GE(wanted, controller->normalizedParamToPlain(ids[column], 0.0));
            EXPECT_LE(wanted, controller->normalizedParamToPlain(ids[column], 1.0));
        }
        // The host-side bypass stays off in a factory preset.
        EXPECT_EQ(PresetTestHost::bypassWordOf(stored), 0u);
    }
}

TEST_F(FactoryPresetFiles, EachLoadsIntoAFreshInstanceWithExactlyItsStoredValues)
{
    const std::vector<uint8_t> defaults = host_.state();
    ASSERT_EQ(defaults.size(), 8 * PresetTestHost::kParameterCount + 4);
    for (const FactoryPresets::Preset& preset : FactoryPresets::all()) {
        SCOPED_TRACE(preset.name);
        const std::vector<uint8_t> stored = PresetTestHost::componentChunkOf(presetPath(preset));
        ASSERT_FALSE(stored.empty());

        PresetTestHost fresh;
        std::string error;
        ASSERT_TRUE(fresh.create(error)) << error;
        VstPreset file;
        ASSERT_TRUE(file.read(presetPath(preset), PresetTestHost::effect().cid, error)) << error;
        ASSERT_TRUE(file.applyTo(fresh.instance(), error)) << error;
        EXPECT_EQ(fresh.state(), stored);

        // What the host reads back agrees with the stored plain values.
        const std::vector<double> values = PresetTestHost::valuesOf(stored);
        Vst::IEditController* controller = fresh.instance().controller();
        for (Vst::ParamID id = 0; id < values.size(); ++id)
            EXPECT_DOUBLE_EQ(controller->getParamNormalized(id), controller->plainParamToNormalized(id, values[id]))
                << "parameter " << id;
    }
}

TEST_F(FactoryPresetFiles, DefaultIsWhatANewInstanceStartsWithAndTheOthersDiffer)
{
    const std::vector<uint8_t> defaults = host_.state();
    bool sawDefault = false;
    for (const FactoryPresets::Preset& preset : FactoryPresets::all()) {
        const std::vector<uint8_t> stored = PresetTestHost::componentChunkOf(presetPath(preset));
        if (std::string(preset.name) == "Default") {
            sawDefault = true;
            EXPECT_EQ(stored, defaults);
        } else {
            EXPECT_NE(stored, defaults) << preset.name;
        }
    }
    EXPECT_TRUE(sawDefault);
}
}   // namespace

// The Windows set: the same files, the class ID text in the header spelled as
// the SDK on Windows computes it from the same 16 bytes (GUID order).
TEST(WindowsFactoryPresets, AreTheSameFilesWithTheClassIdInGuidOrder)
{
    for (const FactoryPresets::Preset& preset : FactoryPresets::all()) {
        const std::vector<uint8_t> own = fileBytes(presetPath(preset));
        const std::vector<uint8_t> windows =
            fileBytes(std::string(TIDEPULL_TEST_WINDOWS_PRESETS) + "/" + FactoryPresets::fileName(preset));
        ASSERT_GT(own.size(), 48u) << preset.name;
        ASSERT_EQ(windows.size(), own.size()) << preset.name;
        EXPECT_EQ(std::string(own.begin() + 8, own.begin() + 40), "0DE7AEF2DE004E4F516C6D7254647031");
        EXPECT_EQ(std::string(windows.begin() + 8, windows.begin() + 40), "F2AEE70D00DE4F4E516C6D7254647031");
        EXPECT_TRUE(std::equal(own.begin(), own.begin() + 8, windows.begin())) << preset.name;
        EXPECT_TRUE(std::equal(own.begin() + 40, own.end(), windows.begin() + 40)) << preset.name;
    }
}

TEST(WindowsFactoryPresets, RespellingRefusesWhatIsNoPresetHeader)
{
    std::vector<uint8_t> bytes(60, 'x');
    std::string error;
    EXPECT_FALSE(VstPreset::respellClassId(bytes, std::string(32, 'A'), error));
    EXPECT_EQ(error, "not a preset file header");
    EXPECT_EQ(bytes, std::vector<uint8_t>(60, 'x'));
    std::copy_n("VST3", 4, bytes.begin());
    EXPECT_FALSE(VstPreset::respellClassId(bytes, "0123", error));
    EXPECT_TRUE(VstPreset::respellClassId(bytes, std::string(32, 'A'), error));
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 40), std::string(32, 'A'));
}
