// Contents/Resources/moduleinfo.json, read as a host reads it, against what
// the module's factory answers when loaded.
#include "PluginModule.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace Steinberg;
using nlohmann::json;

namespace
{
const std::string kResources = std::string(TIDEPULL_BUNDLE_DIR) + "/Contents/Resources";

std::string fieldText(const char8* field, size_t size)
{
    return std::string(field, strnlen(field, size));
}

std::string hexOf(const TUID cid)
{
    std::string text;
    char digits[3];
    for (int i = 0; i < 16; ++i)
    {
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(cid[i]));
        text += digits;
    }
    return text;
}

class ModuleInfo : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::ifstream in(kResources + "/moduleinfo.json");
        ASSERT_TRUE(in) << "no moduleinfo.json in " << kResources;
        std::stringstream text;
        text << in.rdbuf();
        // Strict JSON is JSON5 too; comments are the one JSON5 extra allowed here.
        info_ = json::parse(text.str(), nullptr, false, true);
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
    EXPECT_EQ(flags.at("Classes Discardable").get<bool>(), (factoryInfo.flags & PFactoryInfo::kClassesDiscardable) != 0);
    EXPECT_EQ(flags.at("Component Non Discardable").get<bool>(),
              (factoryInfo.flags & PFactoryInfo::kComponentNonDiscardable) != 0);
    EXPECT_TRUE(info_.at("Compatibility").is_array());
}

TEST_F(ModuleInfo, ListsEveryClassAsTheFactoryDescribesIt)
{
    IPluginFactory2* factory2 = nullptr;
    ASSERT_EQ(factory_->queryInterface(IPluginFactory2::iid, reinterpret_cast<void**>(&factory2)), kResultOk);
    const json& classes = info_.at("Classes");
    ASSERT_TRUE(classes.is_array());
    ASSERT_EQ(classes.size(), static_cast<size_t>(factory_->countClasses()));
    for (int32 i = 0; i < factory_->countClasses(); ++i)
    {
        PClassInfo2 ci;
        ASSERT_EQ(factory2->getClassInfo2(i, &ci), kResultOk);
        const json& c = classes.at(i);
        EXPECT_EQ(c.at("CID"), hexOf(ci.cid));
        EXPECT_EQ(c.at("Category"), fieldText(ci.category, sizeof ci.category));
        EXPECT_EQ(c.at("Name"), fieldText(ci.name, sizeof ci.name));
        EXPECT_EQ(c.at("Vendor"), fieldText(ci.vendor, sizeof ci.vendor));
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
}

TEST_F(ModuleInfo, EverySnapshotListedExistsUnderResources)
{
    const json& snapshots = info_.at("Classes").at(0).at("Snapshots");
    // The editor's own size and double scale.
    ASSERT_EQ(snapshots.size(), 2u);
    const std::string cid = info_.at("Classes").at(0).at("CID");
    EXPECT_EQ(snapshots.at(0).at("Scale Factor").get<double>(), 1.0);
    EXPECT_EQ(snapshots.at(0).at("Path"), "Snapshots/" + cid + "_snapshot.png");
    EXPECT_EQ(snapshots.at(1).at("Scale Factor").get<double>(), 2.0);
    EXPECT_EQ(snapshots.at(1).at("Path"), "Snapshots/" + cid + "_snapshot_2.0x.png");
    for (const json& s : snapshots)
        EXPECT_TRUE(fs::is_regular_file(kResources + "/" + s.at("Path").get<std::string>())) << s.at("Path");
}
}
