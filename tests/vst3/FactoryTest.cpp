// The module as a host first meets it: the bundle, its exports and the factory.
#include "HostedPlugin.h"
#include "PluginModule.h"
#include "TestText.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/utsname.h>

#include <cstring>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

class FactoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(PluginModule::Shared().Loaded()) << PluginModule::Shared().Error();
        factory = PluginModule::Shared().GetFactory();
        ASSERT_NE(factory, nullptr);
    }
    void TearDown() override
    {
        if (factory)
            factory->release();
    }

    template <typename I>
    I* Query()
    {
        void* obj = nullptr;
        if (factory->queryInterface(I::iid, &obj) != kResultOk)
            return nullptr;
        return static_cast<I*>(obj);
    }

    IPluginFactory* factory = nullptr;
};

TEST(BundleTest, LibraryLiesWhereLinuxHostsLookAndLoadsWithItsEntryPoints)
{
    utsname machine{};
    ASSERT_EQ(uname(&machine), 0);
    const std::string expected =
        std::string(TIDEPULL_BUNDLE_DIR) + "/Contents/" + machine.machine + "-linux/Tidepull.so";
    EXPECT_EQ(std::string(TIDEPULL_BUNDLE_BINARY), expected);
    EXPECT_NE(std::string(TIDEPULL_BUNDLE_DIR).find("/Tidepull.vst3"), std::string::npos);
    struct stat info {};
    EXPECT_EQ(stat(expected.c_str(), &info), 0);

    PluginModule& module = PluginModule::Shared();
    ASSERT_TRUE(module.Loaded()) << module.Error();
    EXPECT_TRUE(module.Entered());
    for (const char* name : {"GetPluginFactory", "ModuleEntry", "ModuleExit", "InitDll", "ExitDll"})
        EXPECT_NE(module.Symbol(name), nullptr) << name;
    // The module's own globals and the SDK stay inside.
    EXPECT_EQ(module.Symbol("gPluginFactory"), nullptr);
    EXPECT_EQ(module.Symbol("moduleHandle"), nullptr);
}

TEST(BundleTest, EntryPointsMayBeCalledAgainAndBalance)
{
    PluginModule& module = PluginModule::Shared();
    ASSERT_TRUE(module.Loaded());
    auto entry = reinterpret_cast<bool (*)(void*)>(module.Symbol("ModuleEntry"));
    auto exitFunc = reinterpret_cast<bool (*)()>(module.Symbol("ModuleExit"));
    auto initDll = reinterpret_cast<bool (*)()>(module.Symbol("InitDll"));
    auto exitDll = reinterpret_cast<bool (*)()>(module.Symbol("ExitDll"));
    ASSERT_TRUE(entry && exitFunc && initDll && exitDll);
    EXPECT_TRUE(entry(nullptr));
    EXPECT_TRUE(exitFunc());
    EXPECT_TRUE(initDll());
    EXPECT_TRUE(exitDll());

    // Still usable after the extra pair.
    HostedPlugin plug;
    ASSERT_TRUE(plug.Valid());
    EXPECT_EQ(plug.Initialize(), kResultOk);
}

TEST_F(FactoryTest, RepeatedGetPluginFactoryHandsOutTheSameObjectOneReferenceEach)
{
    IPluginFactory* again = PluginModule::Shared().GetFactory();
    EXPECT_EQ(again, factory);
    // Two host references now; addRef reports the count after it.
    EXPECT_EQ(factory->addRef(), 3u);
    EXPECT_EQ(factory->release(), 2u);
    EXPECT_EQ(again->release(), 1u);
}

TEST_F(FactoryTest, AFactoryReleasedForGoodIsBuiltAfreshWithItsOneClass)
{
    EXPECT_EQ(factory->release(), 0u);
    factory = PluginModule::Shared().GetFactory();
    ASSERT_NE(factory, nullptr);
    // A fresh factory holds only the host's reference and registered the class once.
    EXPECT_EQ(factory->addRef(), 2u);
    factory->release();
    EXPECT_EQ(factory->countClasses(), 1);
    PClassInfo info;
    EXPECT_EQ(factory->getClassInfo(0, &info), kResultOk);
    EXPECT_STREQ(info.name, "Tidepull");
}

TEST_F(FactoryTest, FactoryInfoAndInterfaces)
{
    PFactoryInfo info;
    ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
    EXPECT_STREQ(info.vendor, "Quillmarch");
    EXPECT_EQ(info.flags, 0x10);
    EXPECT_NE(info.url[0], '\0');
    EXPECT_NE(info.email[0], '\0');

    IPluginFactory2* f2 = Query<IPluginFactory2>();
    IPluginFactory3* f3 = Query<IPluginFactory3>();
    ASSERT_NE(f2, nullptr);
    ASSERT_NE(f3, nullptr);
    EXPECT_EQ(f3->setHostContext(nullptr), kNotImplemented);
    f3->release();
    f2->release();
    EXPECT_EQ(factory->countClasses(), 1);
}

TEST_F(FactoryTest, ClassInformationInAllThreeForms)
{
    const char kCid[16] = {'\x0D', '\xE7', '\xAE', '\xF2', '\xDE', '\x00', '\x4E', '\x4F',
                           'Q',    'l',    'm',    'r',    'T',    'd',    'p',    '1'};

    PClassInfo info;
    ASSERT_EQ(factory->getClassInfo(0, &info), kResultOk);
    EXPECT_EQ(std::memcmp(info.cid, kCid, 16), 0);
    EXPECT_EQ(info.cardinality, 0x7FFFFFFF);
    EXPECT_STREQ(info.category, "Audio Module Class");
    EXPECT_STREQ(info.name, "Tidepull");

    IPluginFactory2* f2 = Query<IPluginFactory2>();
    ASSERT_NE(f2, nullptr);
    PClassInfo2 info2;
    ASSERT_EQ(f2->getClassInfo2(0, &info2), kResultOk);
    EXPECT_EQ(std::memcmp(info2.cid, kCid, 16), 0);
    EXPECT_EQ(info2.cardinality, 0x7FFFFFFF);
    EXPECT_STREQ(info2.category, "Audio Module Class");
    EXPECT_STREQ(info2.name, "Tidepull");
    EXPECT_EQ(info2.classFlags, 2u);
    EXPECT_STREQ(info2.subCategories, "Fx|Dynamics");
    EXPECT_STREQ(info2.vendor, "");
    EXPECT_STREQ(info2.version, "5.0.0");
    EXPECT_STREQ(info2.sdkVersion, "VST 3.6.12");
    EXPECT_EQ(f2->getClassInfo2(1, &info2), kInvalidArgument);
    EXPECT_EQ(f2->getClassInfo2(-1, &info2), kInvalidArgument);
    f2->release();

    IPluginFactory3* f3 = Query<IPluginFactory3>();
    ASSERT_NE(f3, nullptr);
    PClassInfoW infoW;
    ASSERT_EQ(f3->getClassInfoUnicode(0, &infoW), kResultOk);
    EXPECT_EQ(std::memcmp(infoW.cid, kCid, 16), 0);
    EXPECT_EQ(infoW.cardinality, 0x7FFFFFFF);
    EXPECT_STREQ(infoW.category, "Audio Module Class");
    EXPECT_EQ(TestText::Narrow(infoW.name), "Tidepull");
    EXPECT_EQ(infoW.name[8], 0);
    EXPECT_EQ(infoW.classFlags, 2u);
    EXPECT_STREQ(infoW.subCategories, "Fx|Dynamics");
    EXPECT_EQ(infoW.vendor[0], 0);
    EXPECT_EQ(TestText::Narrow(infoW.version), "5.0.0");
    EXPECT_EQ(TestText::Narrow(infoW.sdkVersion), "VST 3.6.12");
    EXPECT_EQ(f3->getClassInfoUnicode(1, &infoW), kInvalidArgument);
    f3->release();

    EXPECT_EQ(factory->getClassInfo(1, &info), kInvalidArgument);
    EXPECT_EQ(factory->getClassInfo(-1, &info), kInvalidArgument);
}

TEST_F(FactoryTest, InstanceAnswersTheEffectInterfacesAndRefusesTheConnectionPoint)
{
    void* obj = nullptr;
    ASSERT_EQ(factory->createInstance(HostedPlugin::kClassId, IComponent::iid, &obj), kResultOk);
    ASSERT_NE(obj, nullptr);
    auto* component = static_cast<IComponent*>(obj);

    const FUID* answered[] = {&IAudioProcessor::iid, &IEditController::iid, &IEditController2::iid, &IUnitInfo::iid,
                              &IPluginBase::iid,     &IComponent::iid,      &FUnknown::iid};
    for (const FUID* iid : answered) {
        void* itf = nullptr;
        EXPECT_EQ(component->queryInterface(iid->toTUID(), &itf), kResultOk);
        ASSERT_NE(itf, nullptr);
        static_cast<FUnknown*>(itf)->release();
    }
    void* cp = reinterpret_cast<void*>(1);
    EXPECT_EQ(component->queryInterface(IConnectionPoint::iid, &cp), kNoInterface);
    EXPECT_EQ(cp, nullptr);

    // The host's reference is the only one left.
    EXPECT_EQ(component->addRef(), 2u);
    EXPECT_EQ(component->release(), 1u);
    EXPECT_EQ(component->release(), 0u);
}

TEST_F(FactoryTest, CreateInstanceRefusesUnknownClassesAndInterfaces)
{
    TUID otherCid;
    std::memcpy(otherCid, HostedPlugin::kClassId, sizeof otherCid);
    otherCid[15] = '2';
    void* obj = reinterpret_cast<void*>(1);
    EXPECT_NE(factory->createInstance(otherCid, IComponent::iid, &obj), kResultOk);
    EXPECT_EQ(obj, nullptr);

    obj = reinterpret_cast<void*>(1);
    EXPECT_NE(factory->createInstance(HostedPlugin::kClassId, IConnectionPoint::iid, &obj), kResultOk);
    EXPECT_EQ(obj, nullptr);

    // Several instances live side by side.
    HostedPlugin a;
    HostedPlugin b;
    ASSERT_TRUE(a.Valid());
    ASSERT_TRUE(b.Valid());
    EXPECT_NE(a.Component(), b.Component());
}

}   // namespace
