// Contents/Resources/moduleinfo.json, read as a host reads it, against what
// the module's factory answers when loaded.
#include "PluginModule.h"

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/base/ipluginbase.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;
using namespace Steinberg;
using nlohmann::json;

namespace {
const std::string kBundle = TIDEPULL_BUNDLE_DIR;
const std::string kResources = kBundle + "/Contents/Resources";
const std::string kSnapshotFolder = "Contents/Resources/Snapshots";

std::string fieldText(const char8* field, size_t size)
{
    return std::string(field, strnlen(field, size));
}

// The class ID as the SDK prints it on this platform.
std::string sdkText(const TUID cid)
{
    char8 text[33] = {};
    FUID::fromTUID(cid).toString(text);
    return text;
}

std::string readText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The keys that appear more than once in one object, as "object/key"; a JSON
// reader keeps only one of them, so the file says two things.
std::vector<std::string> repeatedKeys(const std::string& text)
{
    std::vector<std::set<std::string>> open;
    std::vector<std::string> repeated;
    json::parser_callback_t note = [&](int, json::parse_event_t event, json& parsed) {
        if (event == json::parse_event_t::object_start)
            open.emplace_back();
        else if (event == json::parse_event_t::object_end && !open.empty())
            open.pop_back();
        else if (event == json::parse_event_t::key && !open.empty() &&
                 !open.back().insert(parsed.get<std::string>()).second)
            repeated.push_back(parsed.get<std::string>());
        return true;
    };
    if (json::parse(text, note, false, true).is_discarded())
        repeated.push_back("(the text does not parse)");
    return repeated;
}

class ModuleInfo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::is_regular_file(kResources + "/moduleinfo.json")) << "no moduleinfo.json in " << kResources;
        text_ = readText(kResources + "/moduleinfo.json");
        // Strict JSON is JSON5 too; comments are the one JSON5 extra allowed here.
        info_ = json::parse(text_, nullptr, false, true);
        ASSERT_FALSE(info_.is_discarded()) << "moduleinfo.json does not parse";

        ASSERT_TRUE(PluginModule::Shared().Loaded()) << PluginModule::Shared().Error();
        factory_ = PluginModule::Shared().GetFactory();
        ASSERT_NE(factory_, nullptr);
    }
    void TearDown() override
    {
        if (factory_)
            factory_->release();
    }

    std::string text_;
    json info_;
    IPluginFactory* factory_ = nullptr;
};

TEST_F(ModuleInfo, NamesTheModuleAndAgreesWithTheFactoryInfo)
{
    EXPECT_EQ(info_.at("Name"), "Tidepull");
    EXPECT_EQ(info_.at("Version"), TIDEPULL_VERSION);

    PFactoryInfo factoryInfo;
    ASSERT_EQ(factory_->getFactoryInfo(&factoryInfo), kResultOk);
    const json& fi = info_.at("Factory Info");
    EXPECT_EQ(fi.at("Vendor"), fieldText(factoryInfo.vendor, sizeof factoryInfo.vendor));
    EXPECT_EQ(fi.at("URL"), fieldText(factoryInfo.url, sizeof factoryInfo.url));
    EXPECT_EQ(fi.at("E-Mail"), fieldText(factoryInfo.email, sizeof factoryInfo.email));
    EXPECT_EQ(fi.at("Vendor"), "Quillmarch");
    const json& flags = fi.at("Flags");
    EXPECT_EQ(flags.at("Unicode").get<bool>(), (factoryInfo.flags & PFactoryInfo::kUnicode) != 0);
    EXPECT_EQ(flags.at("Classes Discardable").get<bool>(),
              (factoryInfo.flags & PFactoryInfo::kClassesDiscardable) != 0);
    EXPECT_EQ(flags.at("Component Non Discardable").get<bool>(),
              (factoryInfo.flags & PFactoryInfo::kComponentNonDiscardable) != 0);
    EXPECT_TRUE(info_.at("Compatibility").is_array());
}

// What the SDK's moduleinfo check compares: every class as the loaded
// module's factory answers, with the SDK's fill-ins (an empty class vendor is
// the factory's), the class ID in this platform's spelling.
TEST_F(ModuleInfo, ListsEveryClassAsTheFactoryDescribesIt)
{
    PFactoryInfo factoryInfo;
    ASSERT_EQ(factory_->getFactoryInfo(&factoryInfo), kResultOk);
    const std::string factoryVendor = fieldText(factoryInfo.vendor, sizeof factoryInfo.vendor);
    IPluginFactory2* factory2 = nullptr;
    ASSERT_EQ(factory_->queryInterface(IPluginFactory2::iid, reinterpret_cast<void**>(&factory2)), kResultOk);
    const json& classes = info_.at("Classes");
    ASSERT_TRUE(classes.is_array());
    ASSERT_EQ(classes.size(), static_cast<size_t>(factory_->countClasses()));
    for (int32 i = 0; i < factory_->countClasses(); ++i) {
        PClassInfo2 ci;
        ASSERT_EQ(factory2->getClassInfo2(i, &ci), kResultOk);
        const json& c = classes.at(i);
        EXPECT_EQ(c.at("CID"), sdkText(ci.cid));
        EXPECT_EQ(c.at("Category"), fieldText(ci.category, sizeof ci.category));
        EXPECT_EQ(c.at("Name"), fieldText(ci.name, sizeof ci.name));
        const std::string classVendor = fieldText(ci.vendor, sizeof ci.vendor);
        EXPECT_EQ(c.at("Vendor"), classVendor.empty() ? factoryVendor : classVendor);
        EXPECT_EQ(c.at("Version"), fieldText(ci.version, sizeof ci.version));
        EXPECT_EQ(c.at("SDKVersion"), fieldText(ci.sdkVersion, sizeof ci.sdkVersion));
        EXPECT_EQ(c.at("Class Flags").get<int64_t>(), static_cast<int64_t>(ci.classFlags));
        EXPECT_EQ(c.at("Cardinality").get<int64_t>(), ci.cardinality);
        std::string joined;
        for (const json& sub : c.at("Sub Categories"))
            joined += (joined.empty() ? "" : "|") + sub.get<std::string>();
        EXPECT_EQ(joined, fieldText(ci.subCategories, sizeof ci.subCategories));
    }
    factory2->release();

    // What this plug-in's one class says, in case the factory itself drifts.
    const json& c = classes.at(0);
    EXPECT_EQ(c.at("CID"), "0DE7AEF2DE004E4F516C6D7254647031");
    EXPECT_EQ(c.at("Category"), "Audio Module Class");
    EXPECT_EQ(c.at("Sub Categories"), json::array({"Fx", "Dynamics"}));
    EXPECT_EQ(c.at("Cardinality"), 0x7FFFFFFF);
    EXPECT_EQ(c.at("Class Flags"), 2);
    EXPECT_EQ(c.at("Vendor"), "Quillmarch");
}

TEST_F(ModuleInfo, NamesEveryRequiredKeyOnceAndNoKeyTwice)
{
    EXPECT_EQ(repeatedKeys(text_), std::vector<std::string>());
    for (const char* key : {"Name", "Version", "Factory Info", "Classes"})
        EXPECT_TRUE(info_.contains(key)) << key;
    for (const char* key : {"Vendor", "URL", "E-Mail", "Flags"})
        EXPECT_TRUE(info_.at("Factory Info").contains(key)) << key;
    for (const json& c : info_.at("Classes"))
        for (const char* key : {"CID", "Category", "Name", "Vendor", "Version", "SDKVersion", "Class Flags"})
            EXPECT_TRUE(c.contains(key)) << key;
}

TEST(ModuleInfoKeys, ARepeatedKeyIsFound)
{
    EXPECT_EQ(repeatedKeys(R"({"a": 1, "b": {"a": 2, "c": 3, "c": 4}, "d": [{"e": 1}, {"e": 2}]})"),
              std::vector<std::string>({"c"}));
}

// Paths from the bundle root, each one a file; and no picture in the
// snapshot folder that no class lists.
TEST_F(ModuleInfo, EverySnapshotIsListedFromTheBundleRootAndExists)
{
    std::set<std::string> listed;
    for (const json& c : info_.at("Classes")) {
        const std::string cid = c.at("CID");
        for (const json& s : c.at("Snapshots")) {
            const std::string path = s.at("Path");
            EXPECT_EQ(path.rfind(kSnapshotFolder + "/" + cid + "_snapshot", 0), 0u) << path;
            EXPECT_TRUE(fs::is_regular_file(kBundle + "/" + path)) << path;
            EXPECT_GT(s.at("Scale Factor").get<double>(), 0.0) << path;
            EXPECT_TRUE(listed.insert(path).second) << path << " listed twice";
        }
    }
    const json& first = info_.at("Classes").at(0).at("Snapshots").at(0);
    EXPECT_EQ(first.at("Scale Factor").get<double>(), 1.0);
    EXPECT_EQ(first.at("Path"),
              kSnapshotFolder + "/" + info_.at("Classes").at(0).at("CID").get<std::string>() + "_snapshot.png");

    size_t pictures = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(kBundle + "/" + kSnapshotFolder)) {
        if (entry.path().extension() != ".png")
            continue;
        ++pictures;
        const std::string path = kSnapshotFolder + "/" + entry.path().filename().string();
        EXPECT_EQ(listed.count(path), 1u) << path << " is in the bundle but not in moduleinfo.json";
    }
    // The editor's own size and double scale.
    EXPECT_EQ(pictures, 2u);
    const json& second = info_.at("Classes").at(0).at("Snapshots").at(1);
    EXPECT_EQ(second.at("Scale Factor").get<double>(), 2.0);
    EXPECT_EQ(second.at("Path"),
              kSnapshotFolder + "/" + info_.at("Classes").at(0).at("CID").get<std::string>() + "_snapshot_2.0x.png");
}
}   // namespace
