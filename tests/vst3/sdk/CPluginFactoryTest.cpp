#include "vst3/sdk/CPluginFactory.h"

#include "TinyEffect.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace Steinberg;

namespace {

const TUID kEffectCid = INLINE_UID(0xF2AEE70D, 0x00DE4F4E, 0x516C6D72, 0x54647031);
const TUID kOtherCid = INLINE_UID(0x11111111, 0x22222222, 0x33333333, 0x44444444);

PFactoryInfo makeFactoryInfo()
{
    return PFactoryInfo("Quillmarch", "https://quillmarch.example", "mailto:info@quillmarch.example",
                        PFactoryInfo::kUnicode);
}

PClassInfo2 makeClassInfo(const TUID cid)
{
    return PClassInfo2(cid, PClassInfo::kManyInstances, "Audio Module Class", "Tidepull", 2, "Fx|Dynamics", "", "5.0.0",
                       "VST 3.6.12");
}

std::u16string wide(const char16* text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

FUnknown* createNothing(void*)
{
    return nullptr;
}

class CPluginFactoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TinyEffect::constructed = 0;
        TinyEffect::destroyed = 0;
        factory = new CPluginFactory(makeFactoryInfo());
    }
    void TearDown() override
    {
        if (factory != nullptr)
            factory->release();
        EXPECT_EQ(TinyEffect::alive(), 0);
    }

    void registerEffect()
    {
        const PClassInfo2 info = makeClassInfo(kEffectCid);
        ASSERT_TRUE(factory->registerClass(&info, TinyEffect::create));
    }

    CPluginFactory* factory = nullptr;
};

TEST_F(CPluginFactoryTest, ReportsFactoryAndClassInformation)
{
    registerEffect();

    PFactoryInfo fi;
    ASSERT_EQ(factory->getFactoryInfo(&fi), kResultOk);
    EXPECT_STREQ(fi.vendor, "Quillmarch");
    EXPECT_STREQ(fi.url, "https://quillmarch.example");
    EXPECT_STREQ(fi.email, "mailto:info@quillmarch.example");
    EXPECT_EQ(fi.flags, PFactoryInfo::kUnicode);

    ASSERT_EQ(factory->countClasses(), 1);

    PClassInfo ci;
    ASSERT_EQ(factory->getClassInfo(0, &ci), kResultOk);
    EXPECT_EQ(std::memcmp(ci.cid, kEffectCid, sizeof(TUID)), 0);
    EXPECT_EQ(ci.cardinality, PClassInfo::kManyInstances);
    EXPECT_STREQ(ci.category, "Audio Module Class");
    EXPECT_STREQ(ci.name, "Tidepull");

    PClassInfo2 ci2;
    ASSERT_EQ(factory->getClassInfo2(0, &ci2), kResultOk);
    EXPECT_EQ(std::memcmp(ci2.cid, kEffectCid, sizeof(TUID)), 0);
    EXPECT_EQ(ci2.classFlags, 2u);
    EXPECT_STREQ(ci2.subCategories, "Fx|Dynamics");
    EXPECT_STREQ(ci2.vendor, "");
    EXPECT_STREQ(ci2.version, "5.0.0");
    EXPECT_STREQ(ci2.sdkVersion, "VST 3.6.12");

    PClassInfoW ciw;
    ASSERT_EQ(factory->getClassInfoUnicode(0, &ciw), kResultOk);
    EXPECT_EQ(std::memcmp(ciw.cid, kEffectCid, sizeof(TUID)), 0);
    EXPECT_EQ(ciw.cardinality, PClassInfo::kManyInstances);
    EXPECT_STREQ(ciw.category, "Audio Module Class");
    EXPECT_STREQ(ciw.subCategories, "Fx|Dynamics");
    EXPECT_EQ(ciw.classFlags, 2u);
    EXPECT_EQ(wide(ciw.name), u"Tidepull");
    EXPECT_EQ(wide(ciw.vendor), u"");
    EXPECT_EQ(wide(ciw.version), u"5.0.0");
    EXPECT_EQ(wide(ciw.sdkVersion), u"VST 3.6.12");
}

TEST_F(CPluginFactoryTest, KeepsClassesInRegistrationOrderAndFormat)
{
    PClassInfo v1(kOtherCid, 1, "Service", "Helper");
    ASSERT_TRUE(factory->registerClass(&v1, TinyEffect::create));
    registerEffect();
    PClassInfoW unicodeOnly(kOtherCid, 1, "Service", STR16("Wide"), 0, "", STR16(""), STR16("1.0"), STR16("VST 3.7.2"));
    ASSERT_TRUE(factory->registerClass(&unicodeOnly, TinyEffect::create));
    ASSERT_EQ(factory->countClasses(), 3);

    // A PClassInfo registration has no version-2 fields to offer.
    PClassInfo2 ci2;
    ASSERT_EQ(factory->getClassInfo2(0, &ci2), kResultOk);
    EXPECT_STREQ(ci2.name, "Helper");
    EXPECT_STREQ(ci2.version, "");
    ASSERT_EQ(factory->getClassInfo2(1, &ci2), kResultOk);
    EXPECT_STREQ(ci2.name, "Tidepull");

    // A UTF-16 registration has no 8-bit information.
    std::memset(static_cast<void*>(&ci2), 0x55, sizeof(ci2));
    EXPECT_EQ(factory->getClassInfo2(2, &ci2), kResultFalse);
    EXPECT_EQ(ci2.name[0], 0);
    PClassInfo ci;
    EXPECT_EQ(factory->getClassInfo(2, &ci), kResultFalse);
    PClassInfoW ciw;
    ASSERT_EQ(factory->getClassInfoUnicode(2, &ciw), kResultOk);
    EXPECT_EQ(wide(ciw.name), u"Wide");
    EXPECT_EQ(wide(ciw.sdkVersion), u"VST 3.7.2");

    EXPECT_FALSE(factory->registerClass(static_cast<const PClassInfo2*>(nullptr), TinyEffect::create));
    const PClassInfo2 info = makeClassInfo(kEffectCid);
    EXPECT_FALSE(factory->registerClass(&info, nullptr));
    EXPECT_EQ(factory->countClasses(), 3);
}

TEST_F(CPluginFactoryTest, RefusesIndicesOutsideTheClassList)
{
    registerEffect();
    PClassInfo ci;
    PClassInfo2 ci2;
    PClassInfoW ciw;
    for (int32 index : {-1, 1, 1000}) {
        EXPECT_EQ(factory->getClassInfo(index, &ci), kInvalidArgument) << index;
        EXPECT_EQ(factory->getClassInfo2(index, &ci2), kInvalidArgument) << index;
        EXPECT_EQ(factory->getClassInfoUnicode(index, &ciw), kInvalidArgument) << index;
    }
    EXPECT_EQ(factory->getClassInfo2(0, nullptr), kInvalidArgument);
}

TEST_F(CPluginFactoryTest, RegistrationQueriesAndRemoval)
{
    registerEffect();
    EXPECT_TRUE(factory->isRegistered(FUID::fromTUID(kEffectCid)));
    EXPECT_FALSE(factory->isRegistered(FUID::fromTUID(kOtherCid)));
    factory->removeAllClasses();
    EXPECT_EQ(factory->countClasses(), 0);
    EXPECT_FALSE(factory->isRegistered(FUID::fromTUID(kEffectCid)));
    EXPECT_EQ(factory->setHostContext(nullptr), kNotImplemented);
}

TEST_F(CPluginFactoryTest, CreatesInstancesWithTheRequestedInterface)
{
    int calls = 0;
    const PClassInfo2 info = makeClassInfo(kEffectCid);
    ASSERT_TRUE(factory->registerClass(&info, TinyEffect::create, &calls));

    void* obj = nullptr;
    ASSERT_EQ(factory->createInstance(reinterpret_cast<FIDString>(kEffectCid), Vst::IComponent::iid, &obj), kResultOk);
    EXPECT_EQ(calls, 1);
    ASSERT_NE(obj, nullptr);
    auto* component = static_cast<Vst::IComponent*>(obj);

    // Only the host's reference remains.
    auto* effect = FCast<TinyEffect>(component);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->getRefCount(), 1);
    EXPECT_EQ(static_cast<Vst::IComponent*>(effect), component);

    Vst::IEditController* controller = nullptr;
    ASSERT_EQ(component->queryInterface(Vst::IEditController::iid, reinterpret_cast<void**>(&controller)), kResultOk);
    EXPECT_EQ(controller, static_cast<Vst::IEditController*>(effect));
    controller->release();

    EXPECT_EQ(TinyEffect::alive(), 1);
    component->release();
    EXPECT_EQ(TinyEffect::alive(), 0);
}

TEST_F(CPluginFactoryTest, UnknownClassAndMissingInterfaceFailWithoutLeaks)
{
    registerEffect();

    void* obj = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(factory->createInstance(reinterpret_cast<FIDString>(kOtherCid), Vst::IComponent::iid, &obj),
              kNoInterface);
    EXPECT_EQ(obj, nullptr);
    EXPECT_EQ(TinyEffect::constructed, 0);

    obj = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(factory->createInstance(reinterpret_cast<FIDString>(kEffectCid), IPluginFactory::iid, &obj),
              kNoInterface);
    EXPECT_EQ(obj, nullptr);
    EXPECT_EQ(TinyEffect::constructed, 1);
    EXPECT_EQ(TinyEffect::destroyed, 1);

    // A connection point is refused by the effect itself.
    EXPECT_EQ(factory->createInstance(reinterpret_cast<FIDString>(kEffectCid), Vst::IConnectionPoint::iid, &obj),
              kNoInterface);
    EXPECT_EQ(TinyEffect::alive(), 0);
}

TEST_F(CPluginFactoryTest, CreateFunctionWithoutObjectFails)
{
    const PClassInfo2 info = makeClassInfo(kEffectCid);
    ASSERT_TRUE(factory->registerClass(&info, createNothing));
    void* obj = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(factory->createInstance(reinterpret_cast<FIDString>(kEffectCid), Vst::IComponent::iid, &obj),
              kNoInterface);
    EXPECT_EQ(obj, nullptr);
}

TEST_F(CPluginFactoryTest, AnswersItsInterfacesAndCountsReferences)
{
    struct Expect {
        const TUID& iid;
        void* pointer;
    };
    const Expect cases[] = {
        {FUnknown::iid, static_cast<IPluginFactory*>(factory)},
        {IPluginFactory::iid, static_cast<IPluginFactory*>(factory)},
        {IPluginFactory2::iid, static_cast<IPluginFactory2*>(factory)},
        {IPluginFactory3::iid, static_cast<IPluginFactory3*>(factory)},
    };
    for (const Expect& c : cases) {
        void* obj = nullptr;
        ASSERT_EQ(factory->queryInterface(c.iid, &obj), kResultOk);
        EXPECT_EQ(obj, c.pointer);
        EXPECT_EQ(factory->addRef(), 3u);
        EXPECT_EQ(factory->release(), 2u);
        static_cast<FUnknown*>(obj)->release();
    }

    void* obj = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(factory->queryInterface(Vst::IComponent::iid, &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);
    EXPECT_EQ(factory->addRef(), 2u);
    EXPECT_EQ(factory->release(), 1u);
}

TEST_F(CPluginFactoryTest, DestructionForgetsTheGlobalFactory)
{
    gPluginFactory = factory;
    auto* other = new CPluginFactory(makeFactoryInfo());
    other->release();
    EXPECT_EQ(gPluginFactory, factory);

    factory->addRef();
    EXPECT_EQ(factory->release(), 1u);
    EXPECT_EQ(gPluginFactory, factory);

    EXPECT_EQ(factory->release(), 0u);
    factory = nullptr;
    EXPECT_EQ(gPluginFactory, nullptr);
}

}   // namespace
