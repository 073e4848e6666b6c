// The audio component side: initialisation, buses, arrangements, setup.
#include "HostedPlugin.h"
#include "TestText.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr SpeakerArrangement kMono = 0x80000;
constexpr SpeakerArrangement kStereo = 0x3;
constexpr SpeakerArrangement kQuad = 0x33;
constexpr SpeakerArrangement kEmpty = SpeakerArr::kEmpty;
constexpr SpeakerArrangement k30Cine = SpeakerArr::k30Cine;
constexpr SpeakerArrangement k31Cine = SpeakerArr::k31Cine;
constexpr SpeakerArrangement k40Music = SpeakerArr::k40Music;
constexpr SpeakerArrangement k50 = SpeakerArr::k50;
constexpr SpeakerArrangement k51 = SpeakerArr::k51;

struct BusView {
    std::string name;
    int32 channels;
    int32 busType;
    uint32 flags;
};

BusView Bus(IComponent* c, BusDirection dir, int32 index)
{
    BusInfo info{};
    EXPECT_EQ(c->getBusInfo(kAudio, dir, index, info), kResultOk);
    EXPECT_EQ(info.mediaType, kAudio);
    EXPECT_EQ(info.direction, dir);
    return {TestText::Narrow(info.name), info.channelCount, info.busType, info.flags};
}

void ExpectInitialBuses(IComponent* c)
{
    ASSERT_EQ(c->getBusCount(kAudio, kInput), 2);
    ASSERT_EQ(c->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(c->getBusCount(kEvent, kInput), 0);
    EXPECT_EQ(c->getBusCount(kEvent, kOutput), 0);

    const BusView main = Bus(c, kInput, 0);
    EXPECT_EQ(main.name, "Main Input");
    EXPECT_EQ(main.channels, 2);
    EXPECT_EQ(main.busType, kMain);
    EXPECT_EQ(main.flags, static_cast<uint32>(BusInfo::kDefaultActive));

    const BusView aux = Bus(c, kInput, 1);
    EXPECT_EQ(aux.name, "Aux Input");
    EXPECT_EQ(aux.channels, 2);
    EXPECT_EQ(aux.busType, kAux);
    EXPECT_EQ(aux.flags, 0u);

    const BusView out = Bus(c, kOutput, 0);
    EXPECT_EQ(out.name, "Output");
    EXPECT_EQ(out.channels, 2);
    EXPECT_EQ(out.busType, kMain);
    EXPECT_EQ(out.flags, static_cast<uint32>(BusInfo::kDefaultActive));
}

TEST(ComponentTest, InitializeBuildsTheBusesOnceAndTerminateLetsItRebuild)
{
    HostedPlugin plug;
    ASSERT_TRUE(plug.Valid());
    IComponent* c = plug.Component();
    // Nothing before initialize.
    EXPECT_EQ(c->getBusCount(kAudio, kInput), 0);
    EXPECT_EQ(plug.Controller()->getParameterCount(), 0);

    ASSERT_EQ(plug.Initialize(), kResultOk);
    ExpectInitialBuses(c);
    EXPECT_EQ(plug.Controller()->getParameterCount(), 11);

    BusInfo info{};
    EXPECT_NE(c->getBusInfo(kAudio, kInput, 2, info), kResultOk);
    EXPECT_NE(c->getBusInfo(kAudio, kOutput, 1, info), kResultOk);
    EXPECT_NE(c->getBusInfo(kEvent, kInput, 0, info), kResultOk);

    SpeakerArrangement arr = 0;
    EXPECT_EQ(plug.Processor()->getBusArrangement(kInput, 1, arr), kResultOk);
    EXPECT_EQ(arr, kStereo);
    EXPECT_EQ(plug.Processor()->getBusArrangement(kOutput, 0, arr), kResultOk);
    EXPECT_EQ(arr, kStereo);

    // A second initialize is refused and adds nothing.
    TestHostContext other("Other Host");
    EXPECT_EQ(c->initialize(static_cast<IHostApplication*>(&other)), kResultFalse);
    ExpectInitialBuses(c);
    EXPECT_EQ(plug.Controller()->getParameterCount(), 11);

    EXPECT_EQ(c->terminate(), kResultOk);
    EXPECT_EQ(c->getBusCount(kAudio, kInput), 0);
    EXPECT_EQ(c->getBusCount(kAudio, kOutput), 0);
    EXPECT_EQ(plug.Controller()->getParameterCount(), 0);

    EXPECT_EQ(c->initialize(static_cast<IHostApplication*>(&other)), kResultOk);
    ExpectInitialBuses(c);
    EXPECT_EQ(plug.Controller()->getParameterCount(), 11);
    EXPECT_EQ(c->terminate(), kResultOk);
    EXPECT_EQ(other.RefCount(), 1u);
}

TEST(ComponentTest, HostContextIsAskedForItsNameAndEveryReferenceIsGivenBack)
{
    HostedPlugin plug;
    ASSERT_TRUE(plug.Valid());
    TestHostContext reaper("REAPER64 (x64)");
    IComponent* c = plug.Component();
    ASSERT_EQ(c->initialize(static_cast<IHostApplication*>(&reaper)), kResultOk);
    EXPECT_EQ(reaper.NameQueries(), 1);
    // Only the stored context stays referenced, not the IHostApplication query.
    EXPECT_EQ(reaper.RefCount(), 2u);
    // A refused second initialize still asks and still gives back.
    EXPECT_EQ(c->initialize(static_cast<IHostApplication*>(&reaper)), kResultFalse);
    EXPECT_EQ(reaper.NameQueries(), 2);
    EXPECT_EQ(reaper.RefCount(), 2u);
    EXPECT_EQ(c->terminate(), kResultOk);
    EXPECT_EQ(reaper.RefCount(), 1u);

    // No IHostApplication, or no context at all: everything else still proceeds.
    TestHostContext bare("", false);
    ASSERT_EQ(c->initialize(&bare), kResultOk);
    EXPECT_EQ(bare.NameQueries(), 0);
    ExpectInitialBuses(c);
    EXPECT_EQ(c->terminate(), kResultOk);
    EXPECT_EQ(bare.RefCount(), 1u);
    ASSERT_EQ(c->initialize(nullptr), kResultOk);
    ExpectInitialBuses(c);
    EXPECT_EQ(c->terminate(), kResultOk);
}

TEST(ComponentTest, NotImplementedComponentCalls)
{
    HostedPlugin plug;
    ASSERT_TRUE(plug.Valid());
    ASSERT_EQ(plug.Initialize(), kResultOk);
    IComponent* c = plug.Component();
    TUID cid;
    EXPECT_EQ(c->getControllerClassId(cid), kNotImplemented);
    EXPECT_EQ(c->setIoMode(kSimple), kNotImplemented);
    RoutingInfo in{}, out{};
    EXPECT_EQ(c->getRoutingInfo(in, out), kNotImplemented);
    EXPECT_EQ(plug.Processor()->setProcessing(true), kNotImplemented);
    EXPECT_EQ(c->setActive(true), kResultOk);
    EXPECT_EQ(c->setActive(false), kResultOk);
}

class ArrangementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(plug.Valid());
        ASSERT_EQ(plug.Initialize(), kResultOk);
    }
    tresult Arrange(std::vector<SpeakerArrangement> ins, std::vector<SpeakerArrangement> outs)
    {
        return plug.Processor()->setBusArrangements(ins.empty() ? nullptr : ins.data(), static_cast<int32>(ins.size()),
                                                    outs.empty() ? nullptr : outs.data(),
                                                    static_cast<int32>(outs.size()));
    }
    HostedPlugin plug;
};

TEST_F(ArrangementTest, RefusedArrangementsLeaveTheBusesAlone)
{
    IComponent* c = plug.Component();
    EXPECT_EQ(Arrange({kStereo}, {kStereo}), kResultFalse);   // the sidechain arrangement is missing
    ExpectInitialBuses(c);
    EXPECT_EQ(Arrange({kMono, kStereo}, {kStereo}), kResultFalse);
    ExpectInitialBuses(c);
    EXPECT_EQ(Arrange({kStereo, kStereo}, {kMono}), kResultFalse);
    ExpectInitialBuses(c);
    EXPECT_EQ(Arrange({}, {kStereo}), kResultFalse);
    ExpectInitialBuses(c);
    EXPECT_EQ(Arrange({kStereo, kStereo}, {}), kResultFalse);
    ExpectInitialBuses(c);
    EXPECT_EQ(Arrange({}, {}), kResultFalse);
    ExpectInitialBuses(c);
}

TEST_F(ArrangementTest, MatchingArrangementKeepsTheBuses)
{
    EXPECT_EQ(Arrange({kStereo, kStereo}, {kStereo}), kResultOk);
    ExpectInitialBuses(plug.Component());
}

TEST_F(ArrangementTest, MonoSidechainRebuildsTheInputs)
{
    IComponent* c = plug.Component();
    EXPECT_EQ(Arrange({kStereo, kMono}, {kStereo}), kResultOk);
    ASSERT_EQ(c->getBusCount(kAudio, kInput), 2);
    const BusView main = Bus(c, kInput, 0);
    EXPECT_EQ(main.name, "Input");
    EXPECT_EQ(main.channels, 2);
    EXPECT_EQ(main.busType, kMain);
    EXPECT_EQ(main.flags, static_cast<uint32>(BusInfo::kDefaultActive));
    const BusView sc = Bus(c, kInput, 1);
    EXPECT_EQ(sc.name, "Sidechain Input");
    EXPECT_EQ(sc.channels, 1);
    EXPECT_EQ(sc.busType, kAux);
    EXPECT_EQ(sc.flags, 0u);
    SpeakerArrangement arr = 0;
    EXPECT_EQ(plug.Processor()->getBusArrangement(kInput, 1, arr), kResultOk);
    EXPECT_EQ(arr, kMono);
    // The output was already right.
    EXPECT_EQ(Bus(c, kOutput, 0).name, "Output");

    // And back to stereo: rebuilt again, keeping the new names.
    EXPECT_EQ(Arrange({kStereo, kStereo}, {kStereo}), kResultOk);
    EXPECT_EQ(Bus(c, kInput, 0).name, "Input");
    EXPECT_EQ(Bus(c, kInput, 1).name, "Sidechain Input");
    EXPECT_EQ(Bus(c, kInput, 1).channels, 2);
}

// Only what the plug-in really processes is accepted: a stereo main input, a
// mono or stereo sidechain and a stereo output. Anything else is refused
// before any bus changes, so the arrangements the host reads back afterwards
// are ones it can set.
TEST_F(ArrangementTest, OnlyStereoInAndOutWithAMonoOrStereoSidechainAreAccepted)
{
    IComponent* c = plug.Component();
    IAudioProcessor* p = plug.Processor();
    const struct {
        std::vector<SpeakerArrangement> ins, outs;
    } refused[] = {
        {{k40Music, kStereo}, {kStereo}},   // four main channels: two would be dropped
        {{k31Cine, kStereo}, {kStereo}},
        {{kQuad}, {kStereo}},
        {{k40Music}, {kStereo}},
        {{kStereo, k50}, {kStereo}},   // five- and six-channel sidechains
        {{kStereo, k51}, {kStereo}},
        {{kStereo, k30Cine}, {kStereo}},
        {{kStereo, kEmpty}, {kStereo}},
        {{kMono, kMono}, {kStereo}},
        {{kStereo, kStereo}, {k40Music}},
        {{kStereo, kStereo}, {kStereo, kStereo}},   // an output bus the plug-in has not got
        {{kStereo, kStereo, kStereo}, {kStereo}},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(Arrange(r.ins, r.outs), kResultFalse)
            << std::hex << r.ins[0] << " " << (r.ins.size() > 1 ? r.ins[1] : 0) << " -> " << r.outs[0];
        ExpectInitialBuses(c);
        // What the plug-in suggests instead is what it processes.
        SpeakerArrangement main = 0;
        SpeakerArrangement sc = 0;
        SpeakerArrangement out = 0;
        ASSERT_EQ(p->getBusArrangement(kInput, 0, main), kResultOk);
        ASSERT_EQ(p->getBusArrangement(kInput, 1, sc), kResultOk);
        ASSERT_EQ(p->getBusArrangement(kOutput, 0, out), kResultOk);
        EXPECT_EQ(main, kStereo);
        EXPECT_EQ(sc, kStereo);
        EXPECT_EQ(out, kStereo);
        std::vector<SpeakerArrangement> ins = {main, sc};
        std::vector<SpeakerArrangement> outs = {out};
        EXPECT_EQ(Arrange(ins, outs), kResultOk);
        ExpectInitialBuses(c);
    }

    // A mono sidechain is accepted and then suggested; a refused request
    // after it keeps it.
    EXPECT_EQ(Arrange({kStereo, kMono}, {kStereo}), kResultOk);
    EXPECT_EQ(Arrange({kStereo, k51}, {kStereo}), kResultFalse);
    SpeakerArrangement sc = 0;
    ASSERT_EQ(p->getBusArrangement(kInput, 1, sc), kResultOk);
    EXPECT_EQ(sc, kMono);
    ASSERT_EQ(c->getBusCount(kAudio, kInput), 2);
    EXPECT_EQ(Bus(c, kInput, 0).channels, 2);
}

TEST(ComponentTest, SampleSizesSetupAndLatency)
{
    HostedPlugin plug;
    ASSERT_TRUE(plug.Valid());
    ASSERT_EQ(plug.Initialize(), kResultOk);
    IAudioProcessor* p = plug.Processor();
    EXPECT_EQ(p->canProcessSampleSize(kSample32), kResultOk);
    EXPECT_EQ(p->canProcessSampleSize(kSample64), kResultOk);
    EXPECT_EQ(p->canProcessSampleSize(2), kResultFalse);
    EXPECT_EQ(p->canProcessSampleSize(-1), kResultFalse);

    ProcessSetup setup64{kRealtime, kSample64, 256, 96000.0};
    EXPECT_EQ(p->setupProcessing(setup64), kResultOk);
    ProcessSetup setupBad{kRealtime, 2, 256, 96000.0};
    EXPECT_EQ(p->setupProcessing(setupBad), kResultFalse);
    ProcessSetup setup32{kOffline, kSample32, 4096, 44100.0};
    EXPECT_EQ(p->setupProcessing(setup32), kResultOk);

    EXPECT_EQ(p->getLatencySamples(), 0u);
}

TEST(ComponentTest, RefusedSampleSizeKeepsTheEarlierSetup)
{
    // After a refused setup the plug must still process in the sample
    // size it accepted last: 64-bit buffers read as 64-bit.
    HostedPlugin plug;
    ASSERT_TRUE(plug.Valid());
    HostedPlugin::Setup setup;
    setup.sampleSize = kSample64;
    setup.maxBlock = 64;
    ASSERT_TRUE(plug.Prepare(setup));
    ProcessSetup bad{kRealtime, 2, 64, 48000.0};
    EXPECT_EQ(plug.Processor()->setupProcessing(bad), kResultFalse);

    ParameterChanges bypass;
    bypass.Add(0x62706173, 1.0);
    const StereoSignal in = StereoSignal::Music(64, 48000.0, 0.5, 3);
    StereoSignal out(64);
    ASSERT_TRUE(plug.ProcessBlock(in, nullptr, 0, 64, out, &bypass));
    EXPECT_EQ(out.left, in.left);
    EXPECT_EQ(out.right, in.right);
}

}   // namespace
