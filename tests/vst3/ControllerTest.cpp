// The edit-controller side: the host's parameter list, value and text
// conversions, units and the program list.
#include "HostedPlugin.h"
#include "TestText.h"

#include "pluginterfaces/vst/ivstunits.h"
#include "public.sdk/source/common/memorystream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <set>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr ParamID kPresetId = 0x70727374;
constexpr ParamID kBypassId = 0x62706173;

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(plug.Valid());
        ASSERT_EQ(plug.Initialize(), kResultOk);
        ctrl = plug.Controller();
    }
    std::string StringOf(ParamID id, ParamValue v)
    {
        String128 s{};
        EXPECT_EQ(ctrl->getParamStringByValue(id, v, s), kResultOk);
        return TestText::Narrow(s);
    }
    tresult ValueOf(ParamID id, const std::string& text, ParamValue& v)
    {
        std::u16string wide = TestText::Widen(text);
        return ctrl->getParamValueByString(id, reinterpret_cast<TChar*>(wide.data()), v);
    }

    HostedPlugin plug;
    IEditController* ctrl = nullptr;
};

struct Expected {
    ParamID id;
    const char* title;
    const char* units;
    int32 stepCount;
    double defaultNormalized;
};

TEST_F(ControllerTest, ElevenParametersInHostOrder)
{
    ASSERT_EQ(ctrl->getParameterCount(), 11);

    ParameterInfo info{};
    ASSERT_EQ(ctrl->getParameterInfo(0, info), kResultOk);
    EXPECT_EQ(info.id, kPresetId);
    EXPECT_EQ(TestText::Narrow(info.title), "Preset");
    EXPECT_EQ(TestText::Narrow(info.units), "");
    EXPECT_EQ(info.stepCount, 1);
    EXPECT_EQ(info.defaultNormalizedValue, 0.0);
    EXPECT_EQ(info.flags, 0x8000);
    EXPECT_EQ(info.unitId, 0);

    ASSERT_EQ(ctrl->getParameterInfo(1, info), kResultOk);
    EXPECT_EQ(info.id, kBypassId);
    EXPECT_EQ(TestText::Narrow(info.title), "Bypass");
    EXPECT_EQ(TestText::Narrow(info.units), "");
    EXPECT_EQ(info.stepCount, 1);
    EXPECT_EQ(info.defaultNormalizedValue, 0.0);
    EXPECT_EQ(info.flags, 0x10009);
    EXPECT_EQ(info.unitId, 0);

    const Expected records[] = {
        {0, "Input Atten", "dB", 0, 0.5},
        {1, "Output", "dB", 0, 0.5},
        {2, "AC Threshold", "dB", 0, 0.0},
        {3, "DC Threshold", ":1", 0, 1.0 / 9.0},
        {4, "Release", "", 5, 0.0},
        {5, "HPF", "Hz", 0, 0.0},
        {6, "MIX", "%", 0, 1.0},
        {7, "Engage", "", 1, 1.0},
        {8, "External Sidechain", "", 1, 0.0},
    };
    std::set<ParamID> ids = {kPresetId, kBypassId};
    for (int32 i = 0; i < 9; ++i) {
        const Expected& e = records[i];
        SCOPED_TRACE(e.title);
        ASSERT_EQ(ctrl->getParameterInfo(i + 2, info), kResultOk);
        EXPECT_EQ(info.id, e.id);
        EXPECT_EQ(TestText::Narrow(info.title), e.title);
        EXPECT_EQ(info.shortTitle[0], 0);
        EXPECT_EQ(TestText::Narrow(info.units), e.units);
        EXPECT_EQ(info.stepCount, e.stepCount);
        EXPECT_NEAR(info.defaultNormalizedValue, e.defaultNormalized, 1e-15);
        EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate);
        EXPECT_EQ(info.unitId, 0);
        EXPECT_TRUE(ids.insert(info.id).second) << "duplicate ID";
        // The controller starts at the defaults.
        EXPECT_NEAR(ctrl->getParamNormalized(e.id), e.defaultNormalized, 1e-15);
    }
    EXPECT_NE(ctrl->getParameterInfo(11, info), kResultOk);
    EXPECT_NE(ctrl->getParameterInfo(-1, info), kResultOk);
}

TEST_F(ControllerTest, ValuesShownAsTheHostDisplaysThem)
{
    EXPECT_EQ(StringOf(0, 0.25), "-9.00");
    EXPECT_EQ(StringOf(0, 0.0), "-18.00");
    EXPECT_EQ(StringOf(1, 1.0), "18.00");
    EXPECT_EQ(StringOf(2, 1.0), "50.00");
    EXPECT_EQ(StringOf(5, 0.0), "20.00");
    EXPECT_EQ(StringOf(6, 0.5), "50.00");
    // Integer records show the plain value truncated, without step rounding.
    EXPECT_EQ(StringOf(4, 1.0), "5");
    EXPECT_EQ(StringOf(4, 0.5), "2");
    EXPECT_EQ(StringOf(7, 1.0), "1");
    EXPECT_EQ(StringOf(8, 0.0), "0");

    String128 s{};
    EXPECT_EQ(ctrl->getParamStringByValue(kBypassId, 1.0, s), kResultFalse);
    EXPECT_EQ(ctrl->getParamStringByValue(kPresetId, 0.0, s), kResultFalse);
    EXPECT_EQ(ctrl->getParamStringByValue(9, 0.0, s), kResultFalse);
}

TEST_F(ControllerTest, TextsTypedByTheUserBecomeNormalisedValues)
{
    ParamValue v = -1.0;
    ASSERT_EQ(ValueOf(0, "6", v), kResultOk);
    EXPECT_NEAR(v, 2.0 / 3.0, 1e-15);
    ASSERT_EQ(ValueOf(0, "abc", v), kResultOk);
    EXPECT_EQ(v, 0.5);   // no number reads as 0.0
    ASSERT_EQ(ValueOf(0, "6.5 dB", v), kResultOk);   // the leading number counts
    EXPECT_NEAR(v, 24.5 / 36.0, 1e-15);
    ASSERT_EQ(ValueOf(0, "-30", v), kResultOk);   // limited to the range
    EXPECT_EQ(v, 0.0);
    ASSERT_EQ(ValueOf(5, "260", v), kResultOk);
    EXPECT_NEAR(v, 0.5, 1e-15);
    ASSERT_EQ(ValueOf(4, "3", v), kResultOk);
    EXPECT_NEAR(v, 0.6, 1e-15);

    ASSERT_EQ(ValueOf(kBypassId, "on", v), kResultOk);
    EXPECT_EQ(v, 1.0);
    ASSERT_EQ(ValueOf(kBypassId, "off", v), kResultOk);
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(ValueOf(12345, "1", v), kResultFalse);
}

TEST_F(ControllerTest, PlainAndNormalisedConversions)
{
    EXPECT_DOUBLE_EQ(ctrl->normalizedParamToPlain(0, 0.25), -9.0);
    EXPECT_DOUBLE_EQ(ctrl->normalizedParamToPlain(5, 1.0), 500.0);
    EXPECT_DOUBLE_EQ(ctrl->normalizedParamToPlain(4, 0.5), 2.5);   // no step rounding
    EXPECT_EQ(ctrl->normalizedParamToPlain(12345, 0.3), 0.3);

    EXPECT_NEAR(ctrl->plainParamToNormalized(0, 6.0), 2.0 / 3.0, 1e-15);
    EXPECT_EQ(ctrl->plainParamToNormalized(0, 100.0), 1.0);
    EXPECT_EQ(ctrl->plainParamToNormalized(0, -100.0), 0.0);
    EXPECT_NEAR(ctrl->plainParamToNormalized(3, 10.0), 1.0, 1e-15);
    EXPECT_NEAR(ctrl->plainParamToNormalized(6, 25.0), 0.25, 1e-15);
    EXPECT_EQ(ctrl->plainParamToNormalized(kBypassId, 0.7), 0.7);
    EXPECT_EQ(ctrl->plainParamToNormalized(kPresetId, 3.0), 3.0);
}

TEST_F(ControllerTest, NormalisedValuesReadAndWrittenByTheHost)
{
    EXPECT_EQ(ctrl->setParamNormalized(4, 0.5), kResultOk);
    EXPECT_NEAR(ctrl->getParamNormalized(4), 0.6, 1e-15);   // stored as 3
    EXPECT_EQ(ctrl->setParamNormalized(0, 0.25), kResultOk);
    EXPECT_DOUBLE_EQ(ctrl->getParamNormalized(0), 0.25);
    EXPECT_EQ(ctrl->setParamNormalized(8, 0.7), kResultOk);
    EXPECT_EQ(ctrl->getParamNormalized(8), 1.0);

    // The host bypass reads back as set.
    EXPECT_EQ(ctrl->setParamNormalized(kBypassId, 1.0), kResultOk);
    EXPECT_EQ(ctrl->getParamNormalized(kBypassId), 1.0);
    EXPECT_EQ(ctrl->setParamNormalized(kBypassId, 0.0), kResultOk);
    EXPECT_EQ(ctrl->getParamNormalized(kBypassId), 0.0);
    EXPECT_EQ(ctrl->setParamNormalized(kPresetId, 0.0), kResultFalse);
    EXPECT_EQ(ctrl->getParamNormalized(kPresetId), 0.0);
    EXPECT_EQ(ctrl->setParamNormalized(9, 0.5), kResultFalse);
    EXPECT_EQ(ctrl->getParamNormalized(9), 0.0);

    // Hosts probing with values outside [0, 1] get values inside it back.
    EXPECT_EQ(ctrl->setParamNormalized(1, 7.0), kResultOk);
    EXPECT_EQ(ctrl->getParamNormalized(1), 1.0);
    EXPECT_EQ(ctrl->setParamNormalized(1, -3.0), kResultOk);
    EXPECT_EQ(ctrl->getParamNormalized(1), 0.0);
    EXPECT_EQ(ctrl->setParamNormalized(1, std::numeric_limits<double>::quiet_NaN()), kResultOk);
    const double n = ctrl->getParamNormalized(1);
    EXPECT_TRUE(n >= 0.0 && n <= 1.0) << n;

    // Nothing of this is echoed to the host.
    EXPECT_TRUE(plug.Handler().Calls().empty());
}

TEST_F(ControllerTest, HostBypassOutOfRangeIsLimitedAndNaNRefused)
{
    EXPECT_EQ(ctrl->setParamNormalized(kBypassId, 4.0), kResultOk);
    EXPECT_EQ(ctrl->getParamNormalized(kBypassId), 1.0);
    EXPECT_EQ(ctrl->setParamNormalized(kBypassId, -2.0), kResultOk);
    EXPECT_EQ(ctrl->getParamNormalized(kBypassId), 0.0);
    EXPECT_EQ(ctrl->setParamNormalized(kBypassId, std::numeric_limits<double>::quiet_NaN()), kResultFalse);
    EXPECT_EQ(ctrl->getParamNormalized(kBypassId), 0.0);
    EXPECT_TRUE(plug.Handler().Calls().empty());
}

// The bypass test of the SDK's validator, step by step: the bypass is set in
// the controller and sent with the next block, read back at once, saved,
// changed, and the saved preset loaded again.
class BypassSequenceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(plug.Valid());
        HostedPlugin::Setup setup;
        setup.maxBlock = 256;
        ASSERT_TRUE(plug.Prepare(setup));
        ctrl = plug.Controller();
    }

    // A block of 0 samples with no buffers at all, carrying one change.
    tresult ProcessEmpty(ParamID id, ParamValue value)
    {
        ParameterChanges changes;
        changes.Add(id, value);
        ProcessData data;
        data.processMode = kRealtime;
        data.symbolicSampleSize = plug.SampleSize();
        data.numSamples = 0;
        data.numInputs = 0;
        data.numOutputs = 0;
        data.inputs = nullptr;
        data.outputs = nullptr;
        data.inputParameterChanges = &changes;
        return plug.Processor()->process(data);
    }

    // Set in the controller, read back at once, then the same value in the
    // next block's queue.
    void SetBypass(ParamValue value)
    {
        ASSERT_EQ(ctrl->setParamNormalized(kBypassId, value), kResultOk);
        EXPECT_EQ(ctrl->getParamNormalized(kBypassId), value) << "read back at once";
        ASSERT_EQ(ProcessEmpty(kBypassId, value), kResultOk);
        EXPECT_EQ(ctrl->getParamNormalized(kBypassId), value) << "after the block";
    }

    HostedPlugin plug;
    IEditController* ctrl = nullptr;
};

TEST_F(BypassSequenceTest, SetSaveChangeLoadReadsTheSavedBypass)
{
    SetBypass(1.0);
    IPtr<MemoryStream> componentState = owned(new MemoryStream);
    IPtr<MemoryStream> controllerState = owned(new MemoryStream);
    ASSERT_EQ(plug.Component()->getState(componentState), kResultOk);
    ASSERT_EQ(ctrl->getState(controllerState), kResultOk);

    SetBypass(0.0);
    const StereoSignal in = StereoSignal::Music(256, 48000.0, 0.5, 21);
    StereoSignal out(256);
    ASSERT_TRUE(plug.ProcessBlock(in, nullptr, 0, 256, out));
    EXPECT_NE(out.left, in.left);   // processed, not passed through

    int64 pos = 0;
    componentState->seek(0, IBStream::kIBSeekSet, &pos);
    controllerState->seek(0, IBStream::kIBSeekSet, &pos);
    ASSERT_EQ(plug.Component()->setState(componentState), kResultOk);
    ASSERT_EQ(ctrl->setState(controllerState), kResultOk);
    EXPECT_EQ(ctrl->getParamNormalized(kBypassId), 1.0);
    ASSERT_TRUE(plug.ProcessBlock(in, nullptr, 0, 256, out));
    // The loaded bypass reached the processor: after its 5 ms fade, the input.
    const size_t fade = 240;
    EXPECT_NE(out.left[fade - 2], in.left[fade - 2]);
    EXPECT_TRUE(std::equal(out.left.begin() + fade, out.left.end(), in.left.begin() + fade));
    EXPECT_TRUE(std::equal(out.right.begin() + fade, out.right.end(), in.right.begin() + fade));
}

TEST_F(BypassSequenceTest, ControllerAndProcessorHoldOneBypass)
{
    // Set in the controller: the very next block passes the input through,
    // and a state saved now keeps it.
    ASSERT_EQ(ctrl->setParamNormalized(kBypassId, 1.0), kResultOk);
    const StereoSignal in = StereoSignal::Music(128, 48000.0, 0.5, 22);
    StereoSignal out(128);
    ASSERT_TRUE(plug.ProcessBlock(in, nullptr, 0, 128, out));
    EXPECT_EQ(out.left, in.left);
    const std::vector<uint8_t> on = plug.SaveState();
    ASSERT_EQ(on.size(), 76u);
    EXPECT_EQ(on[72], 1);

    // A block that carries a bypass change, then a state load.
    ASSERT_EQ(ProcessEmpty(kBypassId, 0.0), kResultOk);
    EXPECT_EQ(ctrl->getParamNormalized(kBypassId), 0.0);
    ASSERT_EQ(plug.LoadState(on), kResultOk);
    EXPECT_EQ(ctrl->getParamNormalized(kBypassId), 1.0);

    // A block without a bypass change leaves it alone.
    ASSERT_EQ(ProcessEmpty(0, 0.5), kResultOk);
    EXPECT_EQ(ctrl->getParamNormalized(kBypassId), 1.0);
}

TEST_F(ControllerTest, EditController2Calls)
{
    IEditController2* c2 = nullptr;
    ASSERT_EQ(ctrl->queryInterface(IEditController2::iid, reinterpret_cast<void**>(&c2)), kResultOk);
    EXPECT_EQ(c2->setKnobMode(kLinearMode), kResultOk);
    EXPECT_EQ(c2->openHelp(false), kResultFalse);
    EXPECT_EQ(c2->openAboutBox(false), kResultFalse);
    c2->release();
    EXPECT_EQ(ctrl->setComponentState(nullptr), kNotImplemented);
}

TEST_F(ControllerTest, OneRootUnitAndTheFactoryPresetList)
{
    IUnitInfo* u = plug.Units();
    EXPECT_EQ(u->getUnitCount(), 1);
    UnitInfo unit{};
    ASSERT_EQ(u->getUnitInfo(0, unit), kResultOk);
    EXPECT_EQ(unit.id, 0);
    EXPECT_EQ(unit.parentUnitId, -1);
    EXPECT_EQ(TestText::Narrow(unit.name), "Root Unit");
    EXPECT_EQ(unit.programListId, -1);
    EXPECT_EQ(u->getUnitInfo(1, unit), kResultFalse);
    EXPECT_EQ(u->getUnitInfo(-1, unit), kResultFalse);
    EXPECT_EQ(u->getSelectedUnit(), 0);

    EXPECT_EQ(u->getProgramListCount(), 0);
    ProgramListInfo list{};
    ASSERT_EQ(u->getProgramListInfo(0, list), kResultOk);
    EXPECT_EQ(list.id, static_cast<ProgramListID>(kPresetId));
    EXPECT_EQ(TestText::Narrow(list.name), "Factory Presets");
    EXPECT_EQ(list.programCount, 1);
    EXPECT_EQ(u->getProgramListInfo(1, list), kResultFalse);

    String128 name{};
    ASSERT_EQ(u->getProgramName(kPresetId, 0, name), kResultOk);
    EXPECT_EQ(TestText::Narrow(name), "-");
    name[0] = 'x';
    ASSERT_EQ(u->getProgramName(kPresetId, 1, name), kResultOk);
    EXPECT_EQ(name[0], 0);
    name[0] = 'x';
    ASSERT_EQ(u->getProgramName(kPresetId, -1, name), kResultOk);
    EXPECT_EQ(name[0], 0);
    EXPECT_EQ(u->getProgramName(0, 0, name), kResultFalse);

    String128 text{};
    EXPECT_EQ(u->getProgramInfo(kPresetId, 0, "name", text), kNotImplemented);
    EXPECT_EQ(u->hasProgramPitchNames(kPresetId, 0), kNotImplemented);
    EXPECT_EQ(u->selectUnit(0), kNotImplemented);
    UnitID unitId = 0;
    EXPECT_EQ(u->getUnitByBus(kAudio, kInput, 0, 0, unitId), kNotImplemented);
    EXPECT_EQ(u->setUnitProgramData(0, 0, nullptr), kNotImplemented);
}

TEST_F(ControllerTest, ComponentHandlerReferenceIsHeldUntilTerminate)
{
    // HostedPlugin::Initialize set the handler.
    EXPECT_EQ(plug.Handler().RefCount(), 2u);
    EXPECT_EQ(plug.Component()->terminate(), kResultOk);
    EXPECT_EQ(plug.Handler().RefCount(), 1u);
    EXPECT_EQ(plug.Component()->initialize(static_cast<IHostApplication*>(&plug.Host())), kResultOk);
}

}   // namespace
