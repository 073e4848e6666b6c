#include "PluginModule.h"
#include "SharedLibrary.h"
#include "tools/TempFolderTest.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using vsthost::PluginModule;
using vsthost::SharedLibrary;

namespace {
int probeExits()
{
    const char* exits = std::getenv("TIDEPULL_PROBE_EXITS");
    return exits ? std::atoi(exits) : 0;
}

class ProbeModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::unsetenv("TIDEPULL_PROBE_ENTRY");
        ::setenv("TIDEPULL_PROBE_EXITS", "0", 1);
    }
    void TearDown() override { ::unsetenv("TIDEPULL_PROBE_ENTRY"); }
};

// A folder NAME.vst3 whose Contents holds `library` where this machine's hosts look.
class FakeBundle : public TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        bundle_ = path("Probe.vst3");
    }

    void linkLibrary(const std::string& library)
    {
        const std::string target = SharedLibrary::libraryInBundle(bundle_, "Probe");
        ASSERT_EQ(std::system(("mkdir -p \"$(dirname '" + target + "')\"").c_str()), 0);
        ASSERT_EQ(::symlink(library.c_str(), target.c_str()), 0);
    }

    std::string bundle_;
};
}   // namespace

TEST(PluginModule, LoadsTheBuiltBundleAsAHostDoes)
{
    PluginModule module;
    std::string error;
    ASSERT_TRUE(module.load(TIDEPULL_TEST_BUNDLE "/", error)) << error;
    EXPECT_TRUE(module.loaded());
    EXPECT_TRUE(module.entered());
    ASSERT_NE(module.factory(), nullptr);
    EXPECT_EQ(module.factoryVendor(), "Quillmarch");
    EXPECT_TRUE(SharedLibrary::isMapped(module.libraryPath()));

    PluginModule::EffectClass effect;
    ASSERT_TRUE(module.findAudioEffect(effect, error)) << error;
    EXPECT_EQ(effect.name, "Tidepull");
    EXPECT_EQ(effect.subCategories, "Fx|Dynamics");

    Steinberg::IPluginFactory* again = module.createFactory();
    ASSERT_EQ(again, module.factory());
    again->release();

    const std::string library = module.libraryPath();
    module.unload();
    EXPECT_FALSE(module.loaded());
    EXPECT_EQ(module.factory(), nullptr);
    EXPECT_FALSE(SharedLibrary::isMapped(library));
    EXPECT_FALSE(module.findAudioEffect(effect, error));
}

TEST(PluginModule, NamesAndFindsTheLibraryOfABundle)
{
    EXPECT_EQ(PluginModule::bundleName("/a/b/Tidepull.vst3/"), "Tidepull");
    EXPECT_EQ(PluginModule::bundleName("Other.vst3"), "Other");
    std::string library;
    std::string error;
    ASSERT_TRUE(PluginModule::libraryInBundle(TIDEPULL_TEST_BUNDLE, library, error)) << error;
    EXPECT_EQ(library, SharedLibrary::libraryInBundle(TIDEPULL_TEST_BUNDLE, "Tidepull"));
}

TEST_F(FakeBundle, EachWrongBundleIsRefusedWithItsOwnReason)
{
    PluginModule module;
    std::string error;
    EXPECT_FALSE(module.load(bundle_, error));
    EXPECT_NE(error.find("no plug-in bundle"), std::string::npos) << error;

    const std::string file = path("file.vst3");
    std::ofstream(file) << "x";
    EXPECT_FALSE(module.load(file, error));
    EXPECT_NE(error.find("is a file"), std::string::npos) << error;

    EXPECT_FALSE(module.load(dir_.string(), error));
    EXPECT_NE(error.find("must end in .vst3"), std::string::npos) << error;

    ASSERT_EQ(::mkdir(bundle_.c_str(), 0755), 0);
    EXPECT_FALSE(module.load(bundle_, error));
    EXPECT_NE(error.find("holds no library"), std::string::npos) << error;
    EXPECT_FALSE(module.loaded());
}

TEST_F(FakeBundle, ALibraryWithoutEntryOrFactoryIsNoPlugIn)
{
    linkLibrary(TIDEPULL_PROBE_MODULE_NO_ENTRY);
    PluginModule module;
    std::string error;
    EXPECT_FALSE(module.load(bundle_, error));
    EXPECT_NE(error.find("does not export ModuleEntry"), std::string::npos) << error;
    EXPECT_FALSE(module.loaded());
}

TEST_F(FakeBundle, AModuleWithoutFactoryIsLeftAgain)
{
    ::setenv("TIDEPULL_PROBE_EXITS", "0", 1);
    linkLibrary(TIDEPULL_PROBE_MODULE);
    PluginModule module;
    std::string error;
    EXPECT_FALSE(module.load(bundle_, error));
    EXPECT_NE(error.find("returned no factory"), std::string::npos) << error;
    EXPECT_FALSE(module.loaded());
    EXPECT_EQ(probeExits(), 1);
}

TEST_F(ProbeModule, AFailedEntryKeepsTheLibraryButNeverExitsIt)
{
    ::setenv("TIDEPULL_PROBE_ENTRY", "fail", 1);
    {
        PluginModule module(TIDEPULL_PROBE_MODULE);
        EXPECT_TRUE(module.loaded());
        EXPECT_FALSE(module.entered());
        EXPECT_EQ(module.error(), "the plug-in's ModuleEntry failed");
        EXPECT_NE(module.symbol("ModuleExit"), nullptr);
    }
    EXPECT_EQ(probeExits(), 0);
    EXPECT_FALSE(SharedLibrary::isMapped(TIDEPULL_PROBE_MODULE));
}

TEST_F(ProbeModule, AnEnteredModuleIsExitedOnceWhateverUnloadsIt)
{
    {
        PluginModule module(TIDEPULL_PROBE_MODULE);
        EXPECT_TRUE(module.entered()) << module.error();
        EXPECT_EQ(module.createFactory(), nullptr);
        module.unload();
        EXPECT_EQ(probeExits(), 1);
        // Opening again starts afresh; the destructor ends it.
        EXPECT_TRUE(module.open(TIDEPULL_PROBE_MODULE));
    }
    EXPECT_EQ(probeExits(), 2);

    PluginModule missing("/no/such/library.so");
    EXPECT_FALSE(missing.loaded());
    EXPECT_NE(missing.error().find("cannot load '/no/such/library.so'"), std::string::npos) << missing.error();
    EXPECT_EQ(missing.symbol("ModuleEntry"), nullptr);
}
