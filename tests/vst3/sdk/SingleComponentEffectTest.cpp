#include "TinyEffect.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "public.sdk/source/vst/vstparameters.h"
#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <gtest/gtest.h>

#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::u16string wide(const char16* text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

class SingleComponentEffectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TinyEffect::constructed = 0;
        TinyEffect::destroyed = 0;
        effect = new TinyEffect;
    }
    void TearDown() override
    {
        if (effect != nullptr) {
            EXPECT_EQ(effect->release(), 0u);
        }
        EXPECT_EQ(TinyEffect::alive(), 0);
    }

    // Main stereo in, mono sidechain, stereo out, one MIDI input.
    void addTypicalBuses()
    {
        effect->addAudioInput(STR16("Main Input"), SpeakerArr::kStereo);
        effect->addAudioInput(STR16("Aux Input"), SpeakerArr::kMono, kAux, 0);
        effect->addAudioOutput(STR16("Output"), SpeakerArr::kStereo);
        effect->addEventInput(STR16("MIDI Input"), 1);
    }

    TinyEffect* effect = nullptr;
};

TEST_F(SingleComponentEffectTest, AnswersComponentProcessorAndControllerInterfaces)
{
    struct Expect {
        const char* name;
        const TUID& iid;
        void* pointer;
    };
    const Expect cases[] = {
        {"IComponent", IComponent::iid, static_cast<IComponent*>(effect)},
        {"IAudioProcessor", IAudioProcessor::iid, static_cast<IAudioProcessor*>(effect)},
        {"IEditController", IEditController::iid, static_cast<IEditController*>(effect)},
        {"IEditController2", IEditController2::iid, static_cast<IEditController2*>(effect)},
        {"IUnitInfo", IUnitInfo::iid, static_cast<IUnitInfo*>(effect)},
        {"IPluginBase", IPluginBase::iid, nullptr},
        {"IDependent", IDependent::iid, static_cast<IDependent*>(effect)},
        {"FUnknown", FUnknown::iid, nullptr},
    };
    for (const Expect& c : cases) {
        void* obj = nullptr;
        ASSERT_EQ(effect->queryInterface(c.iid, &obj), kResultOk) << c.name;
        ASSERT_NE(obj, nullptr) << c.name;
        if (c.pointer != nullptr) {
            EXPECT_EQ(obj, c.pointer) << c.name;
        }
        EXPECT_EQ(effect->getRefCount(), 2) << c.name;
        EXPECT_EQ(static_cast<FUnknown*>(obj)->release(), 1u) << c.name;
    }

    // Through IPluginBase the call reaches this object's initialize.
    IPluginBase* base = nullptr;
    ASSERT_EQ(effect->queryInterface(IPluginBase::iid, reinterpret_cast<void**>(&base)), kResultOk);
    HostApplication host;
    EXPECT_EQ(base->initialize(&host), kResultOk);
    EXPECT_EQ(effect->getHostContext(), &host);
    EXPECT_EQ(base->terminate(), kResultOk);
    base->release();
}

TEST_F(SingleComponentEffectTest, RefusesConnectionPoint)
{
    void* obj = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(effect->queryInterface(IConnectionPoint::iid, &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);
    EXPECT_EQ(effect->getRefCount(), 1);

    obj = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(effect->queryInterface(IMessage::iid, &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);
}

TEST_F(SingleComponentEffectTest, ReferenceCountGovernsLifetime)
{
    EXPECT_EQ(effect->getRefCount(), 1);
    IAudioProcessor* processor = effect;
    IComponent* component = effect;
    EXPECT_EQ(processor->addRef(), 2u);
    EXPECT_EQ(component->addRef(), 3u);
    EXPECT_EQ(static_cast<IEditController*>(effect)->release(), 2u);
    EXPECT_EQ(processor->release(), 1u);
    EXPECT_EQ(TinyEffect::alive(), 1);
    EXPECT_EQ(component->release(), 0u);
    effect = nullptr;
    EXPECT_EQ(TinyEffect::destroyed, 1);
}

TEST_F(SingleComponentEffectTest, ClassNamesReachTheSdkBases)
{
    Vst::SingleComponentEffect* plain = new Vst::SingleComponentEffect;
    EXPECT_STREQ(plain->isA(), "SingleComponentEffect");
    EXPECT_TRUE(plain->isA("SingleComponentEffect"));
    EXPECT_FALSE(plain->isA("EditControllerEx1"));
    for (const char* base :
         {"SingleComponentEffect", "EditControllerEx1", "EditController", "ComponentBase", "FObject"}) {
        EXPECT_TRUE(plain->isTypeOf(base)) << base;
    }
    EXPECT_FALSE(plain->isTypeOf("EditController", false));
    EXPECT_FALSE(plain->isTypeOf("Component"));
    plain->release();

    EXPECT_STREQ(effect->isA(), "TinyEffect");
    EXPECT_TRUE(effect->isTypeOf("SingleComponentEffect"));
    EXPECT_NE(FCast<Vst::SingleComponentEffect>(static_cast<IAudioProcessor*>(effect)), nullptr);
}

TEST_F(SingleComponentEffectTest, DefaultComponentAndProcessorAnswers)
{
    TUID cid;
    EXPECT_EQ(effect->getControllerClassId(cid), kNotImplemented);
    EXPECT_EQ(effect->setIoMode(kAdvanced), kNotImplemented);
    RoutingInfo in{}, out{};
    EXPECT_EQ(effect->getRoutingInfo(in, out), kNotImplemented);
    EXPECT_EQ(effect->setActive(true), kResultOk);
    EXPECT_EQ(effect->setActive(false), kResultOk);
    EXPECT_EQ(static_cast<IComponent*>(effect)->setState(nullptr), kNotImplemented);
    EXPECT_EQ(static_cast<IComponent*>(effect)->getState(nullptr), kNotImplemented);

    EXPECT_EQ(effect->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(effect->canProcessSampleSize(kSample64), kResultFalse);
    EXPECT_EQ(effect->canProcessSampleSize(-1), kResultFalse);
    EXPECT_EQ(effect->getLatencySamples(), 0u);
    EXPECT_EQ(effect->getTailSamples(), kNoTail);
    EXPECT_EQ(effect->setProcessing(true), kNotImplemented);
    ProcessData data;
    EXPECT_EQ(effect->process(data), kNotImplemented);
}

TEST_F(SingleComponentEffectTest, StoresTheProcessingSetup)
{
    EXPECT_EQ(effect->setup().processMode, kRealtime);
    EXPECT_EQ(effect->setup().symbolicSampleSize, kSample32);
    EXPECT_EQ(effect->setup().maxSamplesPerBlock, 1024);
    EXPECT_EQ(effect->setup().sampleRate, 44100.0);

    ProcessSetup setup{kOffline, kSample32, 512, 96000.0};
    EXPECT_EQ(effect->setupProcessing(setup), kResultOk);
    EXPECT_EQ(effect->setup().processMode, kOffline);
    EXPECT_EQ(effect->setup().maxSamplesPerBlock, 512);
    EXPECT_EQ(effect->setup().sampleRate, 96000.0);

    // A sample size the effect cannot process leaves the setup alone.
    ProcessSetup wide{kPrefetch, kSample64, 64, 48000.0};
    EXPECT_EQ(effect->setupProcessing(wide), kResultFalse);
    EXPECT_EQ(effect->setup().processMode, kOffline);
    EXPECT_EQ(effect->setup().symbolicSampleSize, kSample32);
    EXPECT_EQ(effect->setup().maxSamplesPerBlock, 512);
    EXPECT_EQ(effect->setup().sampleRate, 96000.0);
}

TEST_F(SingleComponentEffectTest, CountsAndDescribesBuses)
{
    addTypicalBuses();
    EXPECT_EQ(effect->getBusCount(kAudio, kInput), 2);
    EXPECT_EQ(effect->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(effect->getBusCount(kEvent, kInput), 1);
    EXPECT_EQ(effect->getBusCount(kEvent, kOutput), 0);
    EXPECT_EQ(effect->getBusCount(kNumMediaTypes, kInput), 0);

    BusInfo info{};
    ASSERT_EQ(effect->getBusInfo(kAudio, kInput, 1, info), kResultTrue);
    EXPECT_EQ(info.mediaType, kAudio);
    EXPECT_EQ(info.direction, kInput);
    EXPECT_EQ(info.channelCount, 1);
    EXPECT_EQ(wide(info.name), u"Aux Input");
    EXPECT_EQ(info.busType, kAux);
    EXPECT_EQ(info.flags, 0u);

    ASSERT_EQ(effect->getBusInfo(kAudio, kOutput, 0, info), kResultTrue);
    EXPECT_EQ(info.direction, kOutput);
    EXPECT_EQ(info.channelCount, 2);
    EXPECT_EQ(wide(info.name), u"Output");
    EXPECT_EQ(info.busType, kMain);
    EXPECT_EQ(info.flags, static_cast<uint32>(BusInfo::kDefaultActive));

    ASSERT_EQ(effect->getBusInfo(kEvent, kInput, 0, info), kResultTrue);
    EXPECT_EQ(info.mediaType, kEvent);
    EXPECT_EQ(info.channelCount, 1);
    EXPECT_EQ(wide(info.name), u"MIDI Input");

    EXPECT_EQ(effect->getBusInfo(kAudio, kInput, -1, info), kInvalidArgument);
    EXPECT_EQ(effect->getBusInfo(kAudio, kInput, 2, info), kInvalidArgument);
    EXPECT_EQ(effect->getBusInfo(kEvent, kOutput, 0, info), kInvalidArgument);
    EXPECT_EQ(effect->getBusInfo(kNumMediaTypes, kInput, 0, info), kInvalidArgument);

    SpeakerArrangement arr = 0;
    ASSERT_EQ(effect->getBusArrangement(kInput, 1, arr), kResultTrue);
    EXPECT_EQ(arr, SpeakerArr::kMono);
    ASSERT_EQ(effect->getBusArrangement(kOutput, 0, arr), kResultTrue);
    EXPECT_EQ(arr, SpeakerArr::kStereo);
    EXPECT_EQ(effect->getBusArrangement(kOutput, 1, arr), kInvalidArgument);
    EXPECT_EQ(effect->getBusArrangement(kInput, -1, arr), kInvalidArgument);
}

TEST_F(SingleComponentEffectTest, ActivatesBusesByIndex)
{
    addTypicalBuses();
    // Buses start inactive whatever their default-active flag says.
    ASSERT_NE(effect->getAudioInput(1), nullptr);
    EXPECT_FALSE(effect->getAudioInput(0)->isActive());
    EXPECT_FALSE(effect->getAudioInput(1)->isActive());

    EXPECT_EQ(effect->activateBus(kAudio, kInput, 1, true), kResultTrue);
    EXPECT_TRUE(effect->getAudioInput(1)->isActive());
    EXPECT_FALSE(effect->getAudioInput(0)->isActive());
    EXPECT_EQ(effect->activateBus(kEvent, kInput, 0, true), kResultTrue);
    EXPECT_TRUE(effect->getEventInput(0)->isActive());
    EXPECT_EQ(effect->activateBus(kAudio, kInput, 1, false), kResultTrue);
    EXPECT_FALSE(effect->getAudioInput(1)->isActive());

    EXPECT_EQ(effect->activateBus(kAudio, kOutput, 1, true), kInvalidArgument);
    EXPECT_EQ(effect->activateBus(kAudio, kOutput, -1, true), kInvalidArgument);
    EXPECT_EQ(effect->activateBus(kEvent, kOutput, 0, true), kInvalidArgument);
}

TEST_F(SingleComponentEffectTest, AddsFindsAndRemovesBuses)
{
    EXPECT_EQ(effect->getAudioInput(0), nullptr);
    AudioBus* main = effect->addAudioInput(STR16("In"), SpeakerArr::k51);
    AudioBus* out = effect->addAudioOutput(STR16("Out"), SpeakerArr::kStereo, kAux, 0);
    EventBus* evIn = effect->addEventInput(STR16("Ev In"));
    EventBus* evOut = effect->addEventOutput(STR16("Ev Out"), 4);
    EXPECT_EQ(effect->getAudioInput(0), main);
    EXPECT_EQ(effect->getAudioOutput(0), out);
    EXPECT_EQ(effect->getEventInput(0), evIn);
    EXPECT_EQ(effect->getEventOutput(0), evOut);
    EXPECT_EQ(effect->getAudioInput(1), nullptr);
    EXPECT_EQ(effect->getAudioInput(-1), nullptr);
    EXPECT_EQ(effect->getEventOutput(1), nullptr);

    BusInfo info{};
    ASSERT_EQ(effect->getBusInfo(kAudio, kInput, 0, info), kResultTrue);
    EXPECT_EQ(info.channelCount, 6);
    ASSERT_EQ(effect->getBusInfo(kEvent, kInput, 0, info), kResultTrue);
    EXPECT_EQ(info.channelCount, 16);
    ASSERT_EQ(effect->getBusInfo(kEvent, kOutput, 0, info), kResultTrue);
    EXPECT_EQ(info.channelCount, 4);

    EXPECT_EQ(effect->getBusList(kAudio, kInput)->getType(), kAudio);
    EXPECT_EQ(effect->getBusList(kEvent, kOutput)->getDirection(), kOutput);
    EXPECT_EQ(effect->getBusList(kNumMediaTypes, kOutput), nullptr);

    EXPECT_EQ(effect->removeAudioBusses(), kResultOk);
    EXPECT_EQ(effect->getBusCount(kAudio, kInput), 0);
    EXPECT_EQ(effect->getBusCount(kAudio, kOutput), 0);
    EXPECT_EQ(effect->getBusCount(kEvent, kInput), 1);
    EXPECT_EQ(effect->getBusCount(kEvent, kOutput), 1);
    EXPECT_EQ(effect->removeEventBusses(), kResultOk);
    EXPECT_EQ(effect->getBusCount(kEvent, kInput), 0);
    EXPECT_EQ(effect->getBusCount(kEvent, kOutput), 0);

    addTypicalBuses();
    EXPECT_EQ(effect->removeAllBusses(), kResultOk);
    for (MediaType type : {kAudio, kEvent})
        for (BusDirection dir : {kInput, kOutput})
            EXPECT_EQ(effect->getBusCount(type, dir), 0);
}

TEST_F(SingleComponentEffectTest, AcceptsOnlyTheArrangementsItHas)
{
    addTypicalBuses();
    SpeakerArrangement ins[] = {SpeakerArr::kStereo, SpeakerArr::kMono};
    SpeakerArrangement outs[] = {SpeakerArr::kStereo};
    EXPECT_EQ(effect->setBusArrangements(ins, 2, outs, 1), kResultOk);

    SpeakerArrangement swapped[] = {SpeakerArr::kMono, SpeakerArr::kStereo};
    EXPECT_EQ(effect->setBusArrangements(swapped, 2, outs, 1), kResultFalse);
    SpeakerArrangement surround[] = {SpeakerArr::k51};
    EXPECT_EQ(effect->setBusArrangements(ins, 2, surround, 1), kResultFalse);
    EXPECT_EQ(effect->setBusArrangements(ins, 1, outs, 1), kResultFalse);
    EXPECT_EQ(effect->setBusArrangements(ins, 2, outs, 0), kResultFalse);
    EXPECT_EQ(effect->setBusArrangements(ins, -1, outs, 1), kInvalidArgument);
    EXPECT_EQ(effect->setBusArrangements(nullptr, 2, outs, 1), kInvalidArgument);

    // Refusals change nothing.
    SpeakerArrangement arr = 0;
    ASSERT_EQ(effect->getBusArrangement(kInput, 0, arr), kResultTrue);
    EXPECT_EQ(arr, SpeakerArr::kStereo);
    ASSERT_EQ(effect->getBusArrangement(kOutput, 0, arr), kResultTrue);
    EXPECT_EQ(arr, SpeakerArr::kStereo);
}

TEST_F(SingleComponentEffectTest, InitializeOnceTerminateClearsBusesAndParameters)
{
    HostApplication host;
    ASSERT_EQ(effect->initialize(&host), kResultOk);
    EXPECT_EQ(effect->initialize(&host), kResultFalse);

    addTypicalBuses();
    effect->params().addParameter(STR16("Gain"), STR16("dB"), 0, 0.5, ParameterInfo::kCanAutomate, 7);
    EXPECT_EQ(effect->getParameterCount(), 1);
    EXPECT_NE(effect->getParameterObject(7), nullptr);

    EXPECT_EQ(effect->terminate(), kResultOk);
    EXPECT_EQ(effect->getHostContext(), nullptr);
    EXPECT_EQ(effect->getParameterCount(), 0);
    EXPECT_EQ(effect->getParameterObject(7), nullptr);
    for (MediaType type : {kAudio, kEvent})
        for (BusDirection dir : {kInput, kOutput})
            EXPECT_EQ(effect->getBusCount(type, dir), 0);

    // After terminate the object may be initialised again.
    EXPECT_EQ(effect->initialize(&host), kResultOk);
    EXPECT_EQ(effect->terminate(), kResultOk);
}

}   // namespace
