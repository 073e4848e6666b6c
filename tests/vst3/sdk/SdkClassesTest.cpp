// The packaged SDK classes the adaptor builds on: these tests fail to link
// when a source or an interface ID is missing from the SDK library, and pin
// the behaviour the adaptor relies on.

#include "TinyEffect.h"

#include "base/source/fstring.h"
#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/common/pluginview.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "public.sdk/source/vst/vstparameters.h"
#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivstmessage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::u16string wide(const char16* text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

TEST(SdkClassesTest, ParametersConvertAndLiveInTheContainer)
{
    ParameterContainer container;
    auto* preset = new Parameter(STR16("Preset"), 0x70727374, STR16(""), 0.0, 1, ParameterInfo::kIsProgramChange);
    preset->setPrecision(4);
    container.addParameter(preset);

    auto* bypass =
        new StringListParameter(STR16("Bypass"), 0x62706173, nullptr,
                                ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass);
    bypass->appendString(STR16("off"));
    bypass->appendString(STR16("on"));
    container.addParameter(bypass);

    ASSERT_EQ(container.getParameterCount(), 2);
    EXPECT_EQ(container.getParameterByIndex(1), bypass);
    EXPECT_EQ(container.getParameter(0x70727374), preset);
    EXPECT_EQ(container.getParameter(42), nullptr);

    EXPECT_EQ(bypass->getInfo().stepCount, 1);
    EXPECT_EQ(bypass->getInfo().flags, 0x10009);
    String128 text;
    bypass->toString(1.0, text);
    EXPECT_EQ(wide(text), u"on");
    ParamValue value = -1.0;
    ASSERT_TRUE(bypass->fromString(STR16("on"), value));
    EXPECT_EQ(value, 1.0);
    EXPECT_FALSE(bypass->fromString(STR16("maybe"), value));

    // A plain Parameter with more than one step prints its normalised value.
    Parameter gain(STR16("Gain"), 3, STR16("dB"), 0.25, 0);
    gain.setPrecision(2);
    gain.toString(0.1264, text);
    EXPECT_EQ(wide(text), u"0.13");
    ASSERT_TRUE(gain.fromString(STR16("0.75"), value));
    EXPECT_EQ(value, 0.75);
    EXPECT_FALSE(gain.fromString(STR16("x"), value));
    EXPECT_EQ(gain.getNormalized(), 0.25);
    EXPECT_TRUE(gain.setNormalized(2.0));
    EXPECT_EQ(gain.getNormalized(), 1.0);

    EXPECT_TRUE(bypass->isA("StringListParameter"));
    EXPECT_TRUE(bypass->isTypeOf("Parameter"));
    EXPECT_TRUE(bypass->isTypeOf("FObject"));

    container.removeAll();
    EXPECT_EQ(container.getParameterCount(), 0);
}

TEST(SdkClassesTest, ControllerAnswersParameterAndUnitQueries)
{
    auto* effect = new TinyEffect;
    effect->params().addParameter(STR16("Gain"), STR16("dB"), 0, 0.5, ParameterInfo::kCanAutomate, 5);

    ParameterInfo info{};
    ASSERT_EQ(effect->getParameterInfo(0, info), kResultTrue);
    EXPECT_EQ(info.id, 5u);
    EXPECT_EQ(wide(info.title), u"Gain");
    EXPECT_EQ(wide(info.units), u"dB");
    // Out-of-range indices are refused, not thrown from the SDK's lookups.
    EXPECT_EQ(effect->getParameterInfo(1, info), kResultFalse);
    EXPECT_EQ(effect->getParameterInfo(-1, info), kResultFalse);

    EXPECT_EQ(effect->getUnitCount(), 0);
    UnitInfo unit{};
    EXPECT_EQ(effect->getUnitInfo(0, unit), kResultFalse);
    ASSERT_TRUE(effect->addUnit(new Unit(STR16("Root Unit"), kRootUnitId, kNoParentUnitId)));
    ASSERT_EQ(effect->getUnitInfo(0, unit), kResultTrue);
    EXPECT_EQ(wide(unit.name), u"Root Unit");
    EXPECT_EQ(unit.parentUnitId, kNoParentUnitId);
    EXPECT_EQ(effect->getUnitInfo(1, unit), kResultFalse);
    EXPECT_EQ(effect->getUnitInfo(-1, unit), kResultFalse);

    auto* list = new ProgramList(STR16("Factory Presets"), 0x70727374, kRootUnitId);
    list->addProgram(STR16("-"));
    list->addProgram(STR16("Gentle"));
    ASSERT_TRUE(effect->addProgramList(list));
    EXPECT_EQ(effect->getProgramListCount(), 1);
    ProgramListInfo listInfo{};
    ASSERT_EQ(effect->getProgramListInfo(0, listInfo), kResultTrue);
    EXPECT_EQ(listInfo.id, 0x70727374);
    EXPECT_EQ(listInfo.programCount, 2);
    EXPECT_EQ(wide(listInfo.name), u"Factory Presets");
    EXPECT_EQ(effect->getProgramListInfo(1, listInfo), kResultFalse);
    String128 name;
    ASSERT_EQ(effect->getProgramName(0x70727374, 1, name), kResultTrue);
    EXPECT_EQ(wide(name), u"Gentle");
    EXPECT_EQ(effect->getProgramName(0x70727374, 2, name), kResultFalse);
    EXPECT_EQ(effect->getProgramName(1, 0, name), kResultFalse);

    // The list's program parameter is a string list over the program names.
    Parameter* programParam = list->getParameter();
    ASSERT_NE(programParam, nullptr);
    EXPECT_EQ(programParam->getInfo().stepCount, 1);
    programParam->toString(1.0, name);
    EXPECT_EQ(wide(name), u"Gentle");
    effect->params().addParameter(programParam);

    EXPECT_EQ(effect->terminate(), kResultOk);
    EXPECT_EQ(effect->getProgramListCount(), 0);
    EXPECT_EQ(effect->getUnitCount(), 0);
    EXPECT_EQ(effect->getParameterCount(), 0);
    effect->release();
    EXPECT_EQ(TinyEffect::alive(), 0);
}

TEST(SdkClassesTest, PluginViewKeepsItsRectAndAnswersIPlugView)
{
    ViewRect rect(0, 0, 1001, 270);
    auto* view = new CPluginView(&rect);
    IPlugView* plugView = nullptr;
    ASSERT_EQ(view->queryInterface(IPlugView::iid, reinterpret_cast<void**>(&plugView)), kResultOk);
    EXPECT_EQ(plugView, static_cast<IPlugView*>(view));
    ViewRect size;
    ASSERT_EQ(plugView->getSize(&size), kResultTrue);
    EXPECT_EQ(size.getWidth(), 1001);
    EXPECT_EQ(size.getHeight(), 270);
    EXPECT_FALSE(view->isAttached());
    plugView->release();
    view->release();

    // Interface IDs the packaged SDK leaves undefined are linked and distinct.
    EXPECT_NE(FUID(IPlugView::iid), FUID(IPlugFrame::iid));
    EXPECT_NE(FUID(Linux::IRunLoop::iid), FUID(Linux::IEventHandler::iid));
    EXPECT_NE(FUID(Linux::ITimerHandler::iid), FUID(IPlugViewContentScaleSupport::iid));
    EXPECT_TRUE(FUID(Linux::IRunLoop::iid).isValid());
}

TEST(SdkClassesTest, MemoryStreamWritesSeeksAndReads)
{
    MemoryStream stream;
    double values[] = {-18.0, 0.5};
    int32 written = 0;
    ASSERT_EQ(stream.write(values, sizeof(values), &written), kResultOk);
    EXPECT_EQ(written, static_cast<int32>(sizeof(values)));
    EXPECT_EQ(stream.getSize(), static_cast<TSize>(sizeof(values)));

    int64 pos = -1;
    ASSERT_EQ(stream.seek(sizeof(double), IBStream::kIBSeekSet, &pos), kResultOk);
    EXPECT_EQ(pos, static_cast<int64>(sizeof(double)));
    double back = 0.0;
    int32 read = 0;
    ASSERT_EQ(stream.read(&back, sizeof(back), &read), kResultOk);
    EXPECT_EQ(read, static_cast<int32>(sizeof(double)));
    EXPECT_EQ(back, 0.5);
    // Reading at the end gives nothing.
    ASSERT_EQ(stream.read(&back, sizeof(back), &read), kResultOk);
    EXPECT_EQ(read, 0);
}

TEST(SdkClassesTest, StringsConvertBetweenEightAndSixteenBits)
{
    String ascii("Tidepull");
    char16 buffer[128];
    ascii.copyTo16(buffer, 0, 127);
    EXPECT_EQ(wide(buffer), u"Tidepull");

    String fromWide(STR16("-9.00"));
    ASSERT_TRUE(fromWide.toMultiByte(kCP_Utf8));
    EXPECT_STREQ(fromWide.text8(), "-9.00");

    String utf8("Gr\xC3\xBC\xC3\x9F"
                "e");
    ASSERT_TRUE(utf8.toWideString(kCP_Utf8));
    EXPECT_EQ(wide(utf8.text16()), u"Gr\u00FC\u00DFe");

    UString128 u("0.25");
    double value = 0.0;
    ASSERT_TRUE(u.scanFloat(value));
    EXPECT_EQ(value, 0.25);
    char back[16];
    u.toAscii(back, sizeof(back));
    EXPECT_STREQ(back, "0.25");
    EXPECT_TRUE(u.printFloat(-2.5, 2));
    EXPECT_EQ(wide(u), u"-2.50");
}

TEST(SdkClassesTest, IdsAndClassNames)
{
    const TUID raw = INLINE_UID(0xF2AEE70D, 0x00DE4F4E, 0x516C6D72, 0x54647031);
    FUID uid = FUID::fromTUID(raw);
    char8 text[33];
    uid.toString(text);
    FUID parsed;
    ASSERT_TRUE(parsed.fromString(text));
    EXPECT_EQ(parsed, uid);
    EXPECT_EQ(uid.getLong1(), 0xF2AEE70Du);
    EXPECT_EQ(uid.getLong3(), 0x516C6D72u);

    auto* bus = new AudioBus(STR16("Output"), kMain, BusInfo::kDefaultActive, SpeakerArr::kStereo);
    FObject* object = bus;
    EXPECT_STREQ(object->isA(), "Vst::AudioBus");
    EXPECT_TRUE(object->isTypeOf("Vst::Bus"));
    EXPECT_EQ(FCast<AudioBus>(object), bus);
    EXPECT_EQ(FCast<EventBus>(object), nullptr);
    bus->release();
}

TEST(SdkClassesTest, HostApplicationNamesItselfAndCreatesMessages)
{
    HostApplication host;
    String128 name;
    ASSERT_EQ(host.getName(name), kResultTrue);
    EXPECT_GT(wide(name).size(), 0u);

    FUnknownPtr<IHostApplication> app(static_cast<FUnknown*>(&host));
    EXPECT_TRUE(app);

    TUID cid;
    IMessage::iid.toTUID(cid);
    void* obj = nullptr;
    ASSERT_EQ(host.createInstance(cid, cid, &obj), kResultTrue);
    auto* message = static_cast<IMessage*>(obj);
    message->setMessageID("hello");
    EXPECT_STREQ(message->getMessageID(), "hello");
    message->release();
}

}   // namespace
