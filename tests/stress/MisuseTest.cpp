// Call sequences real hosts produce although the VST 3 workflow forbids
// them. None may crash, write outside the host's buffers or leak (the
// address-sanitizer build checks the leaks at exit).
#include "HostBus.h"
#include "HostedPlugin.h"
#include "PluginModule.h"
#include "StereoSignal.h"
#include "TestHostContext.h"

#include "pluginterfaces/gui/iplugview.h"
#include "public.sdk/source/common/memorystream.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// One instance with every interface a host holds on it; each reference is
// given back by Drop, in whatever order the test likes.
class RawInstance {
public:
    RawInstance()
    {
        IPluginFactory* factory = PluginModule::Shared().GetFactory();
        if (!factory)
            return;
        void* obj = nullptr;
        if (factory->createInstance(HostedPlugin::kClassId, IComponent::iid, &obj) == kResultOk && obj) {
            component = static_cast<IComponent*>(obj);
            component->queryInterface(IAudioProcessor::iid, reinterpret_cast<void**>(&processor));
            component->queryInterface(IEditController::iid, reinterpret_cast<void**>(&controller));
        }
        factory->release();
    }
    ~RawInstance() { DropAll(); }

    bool Valid() const { return component && processor && controller; }

    bool Prepare(int32 sampleSize, int32 maxBlock)
    {
        if (component->initialize(static_cast<IHostApplication*>(&host)) != kResultOk)
            return false;
        component->activateBus(kAudio, kInput, 0, true);
        component->activateBus(kAudio, kInput, 1, true);
        component->activateBus(kAudio, kOutput, 0, true);
        ProcessSetup setup{kRealtime, sampleSize, maxBlock, 48000.0};
        if (processor->setupProcessing(setup) != kResultOk)
            return false;
        if (component->setActive(true) != kResultOk)
            return false;
        processor->setProcessing(true);
        return true;
    }

    // One block of music through main input and sidechain; false when the
    // plug-in wrote outside the buffers or produced a non-finite sample.
    bool Process(int32 sampleSize, int32 frames)
    {
        const bool is64 = sampleSize == kSample64;
        const StereoSignal x = StereoSignal::Music(static_cast<size_t>(frames), 48000.0, 0.7, 7u + frames);
        HostBus in(2, frames, is64);
        HostBus sc(2, frames, is64);
        HostBus out(2, frames, is64);
        in.Load(x, 0);
        sc.Load(x, 0);
        AudioBusBuffers inputs[2] = {in.Buffers(), sc.Buffers()};
        ProcessData data;
        data.processMode = kRealtime;
        data.symbolicSampleSize = sampleSize;
        data.numSamples = frames;
        data.numInputs = 2;
        data.inputs = inputs;
        data.numOutputs = 1;
        data.outputs = &out.Buffers();
        if (processor->process(data) != kResultOk)
            return false;
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < frames; ++i)
                if (!std::isfinite(out.Get(ch, i)))
                    return false;
        return in.GuardsIntact() && sc.GuardsIntact() && out.GuardsIntact();
    }

    void DropAll()
    {
        DropProcessor();
        DropController();
        DropComponent();
    }
    void DropProcessor() { Drop(processor); }
    void DropController() { Drop(controller); }
    void DropComponent() { Drop(component); }

    TestHostContext host{"Misusing Host"};
    IComponent* component = nullptr;
    IAudioProcessor* processor = nullptr;
    IEditController* controller = nullptr;

private:
    template <class T>
    static void Drop(T*& p)
    {
        if (p)
            p->release();
        p = nullptr;
    }
};

class Misuse : public ::testing::TestWithParam<int32> {};

TEST_P(Misuse, TerminateWithoutDeactivationThenReleaseOrStartAgain)
{
    {
        RawInstance plug;
        ASSERT_TRUE(plug.Valid());
        ASSERT_TRUE(plug.Prepare(GetParam(), 256));
        ASSERT_TRUE(plug.Process(GetParam(), 256));
        // Neither setProcessing (false) nor setActive (false).
        EXPECT_EQ(plug.component->terminate(), kResultOk);
    }
    RawInstance plug;
    ASSERT_TRUE(plug.Valid());
    ASSERT_TRUE(plug.Prepare(GetParam(), 256));
    ASSERT_TRUE(plug.Process(GetParam(), 256));
    EXPECT_EQ(plug.component->terminate(), kResultOk);
    // Started again on the same object: everything comes back.
    ASSERT_TRUE(plug.Prepare(GetParam(), 128));
    EXPECT_EQ(plug.controller->getParameterCount(), 11);
    EXPECT_TRUE(plug.Process(GetParam(), 128));
    plug.component->terminate();
    EXPECT_EQ(plug.host.RefCount(), 1u);
}

TEST_P(Misuse, ProcessAfterDeactivationAndAfterTerminate)
{
    RawInstance plug;
    ASSERT_TRUE(plug.Valid());
    ASSERT_TRUE(plug.Prepare(GetParam(), 512));
    ASSERT_TRUE(plug.Process(GetParam(), 512));
    plug.processor->setProcessing(false);
    ASSERT_EQ(plug.component->setActive(false), kResultOk);
    EXPECT_TRUE(plug.Process(GetParam(), 512));
    EXPECT_TRUE(plug.Process(GetParam(), 1));
    EXPECT_TRUE(plug.Process(GetParam(), 0));
    // Even without any bus or parameter object left.
    ASSERT_EQ(plug.component->terminate(), kResultOk);
    EXPECT_TRUE(plug.Process(GetParam(), 512));
    EXPECT_TRUE(plug.Process(GetParam(), 700));   // and past the old maximum
}

TEST_P(Misuse, SetupProcessingWhileActiveAndProcessing)
{
    const int32 other = GetParam() == kSample32 ? kSample64 : kSample32;
    RawInstance plug;
    ASSERT_TRUE(plug.Valid());
    ASSERT_TRUE(plug.Prepare(GetParam(), 64));
    ASSERT_TRUE(plug.Process(GetParam(), 64));

    // Bigger blocks, the other sample size, a new rate: all in mid-flight.
    ProcessSetup bigger{kRealtime, other, 4096, 96000.0};
    ASSERT_EQ(plug.processor->setupProcessing(bigger), kResultOk);
    EXPECT_TRUE(plug.Process(other, 4096));
    EXPECT_TRUE(plug.Process(other, 17));

    // Smaller again: a host that still sends its old block size.
    ProcessSetup smaller{kOffline, GetParam(), 16, 22050.0};
    ASSERT_EQ(plug.processor->setupProcessing(smaller), kResultOk);
    EXPECT_TRUE(plug.Process(GetParam(), 4096));
    EXPECT_TRUE(plug.Process(GetParam(), 16));

    // Refused setups in mid-flight leave the last good one working.
    for (ProcessSetup bad :
         {ProcessSetup{kRealtime, 7, 512, 48000.0}, ProcessSetup{kRealtime, GetParam(), 0, 48000.0},
          ProcessSetup{kRealtime, GetParam(), -5, 48000.0}, ProcessSetup{kRealtime, GetParam(), 512, 0.0},
          ProcessSetup{kRealtime, GetParam(), 512, std::nan("")},
          ProcessSetup{kRealtime, GetParam(), 0x7FFFFFFF, 48000.0}}) {
        EXPECT_NE(plug.processor->setupProcessing(bad), kResultOk);
        EXPECT_TRUE(plug.Process(GetParam(), 100));
    }
}

TEST_P(Misuse, RepeatedInitializeTerminateCyclesOnOneObjectAndManyObjects)
{
    RawInstance plug;
    ASSERT_TRUE(plug.Valid());
    EXPECT_EQ(plug.component->terminate(), kResultOk);   // before any initialize
    for (int cycle = 0; cycle < 100; ++cycle) {
        SCOPED_TRACE(cycle);
        ASSERT_EQ(plug.component->initialize(static_cast<IHostApplication*>(&plug.host)), kResultOk);
        // A second initialize is refused and changes nothing.
        EXPECT_NE(plug.component->initialize(static_cast<IHostApplication*>(&plug.host)), kResultOk);
        ASSERT_EQ(plug.controller->getParameterCount(), 11);
        ASSERT_EQ(plug.component->getBusCount(kAudio, kInput), 2);
        if (cycle % 10 == 0) {
            plug.component->activateBus(kAudio, kOutput, 0, true);
            ProcessSetup setup{kRealtime, GetParam(), 128, 48000.0};
            ASSERT_EQ(plug.processor->setupProcessing(setup), kResultOk);
            plug.component->setActive(true);
            ASSERT_TRUE(plug.Process(GetParam(), 128));
        }
        ASSERT_EQ(plug.component->terminate(), kResultOk);
        EXPECT_EQ(plug.component->terminate(), kResultOk);   // twice
        ASSERT_EQ(plug.controller->getParameterCount(), 0);
    }
    EXPECT_EQ(plug.host.RefCount(), 1u);

    for (int k = 0; k < 30; ++k) {
        RawInstance other;
        ASSERT_TRUE(other.Valid());
        if (k % 2) {
            ASSERT_TRUE(other.Prepare(GetParam(), 64));
        }
        if (k % 3 == 0)
            other.component->terminate();
        // Released in every order.
        if (k % 4 == 1) {
            other.DropComponent();
            other.DropController();
        }
    }
}

TEST(MisuseModule, TheBundleLoadedAgainBesideItselfAndUnloaded)
{
    for (int k = 0; k < 5; ++k) {
        PluginModule again(TIDEPULL_BUNDLE_BINARY);
        ASSERT_TRUE(again.Loaded()) << again.Error();
        ASSERT_TRUE(again.Entered());
        IPluginFactory* factory = again.GetFactory();
        ASSERT_NE(factory, nullptr);
        void* obj = nullptr;
        ASSERT_EQ(factory->createInstance(HostedPlugin::kClassId, IComponent::iid, &obj), kResultOk);
        auto* component = static_cast<IComponent*>(obj);
        TestHostContext host;
        EXPECT_EQ(component->initialize(static_cast<IHostApplication*>(&host)), kResultOk);
        component->terminate();
        component->release();
        factory->release();
    }
    // The shared copy still works after the others came and went.
    RawInstance plug;
    ASSERT_TRUE(plug.Valid());
    ASSERT_TRUE(plug.Prepare(kSample32, 64));
    EXPECT_TRUE(plug.Process(kSample32, 64));
}

// The view holds the effect: released last, it takes the effect with it.
TEST_P(Misuse, EditorViewReleasedAfterTheEffectsLastOtherReference)
{
    for (int variant = 0; variant < 3; ++variant) {
        SCOPED_TRACE(variant);
        RawInstance plug;
        ASSERT_TRUE(plug.Valid());
        ASSERT_TRUE(plug.Prepare(GetParam(), 256));
        ASSERT_TRUE(plug.Process(GetParam(), 256));
        IPlugView* view = plug.controller->createView("editor");
        if (!view) {
            GTEST_SKIP() << "this build's effect offers no editor view";
        }
        IPlugView* second = variant == 2 ? plug.controller->createView("editor") : nullptr;
        if (variant >= 1)
            plug.component->terminate();
        // No deactivation, and every reference but the view's given back.
        plug.DropAll();

        ViewRect rect;
        EXPECT_EQ(view->getSize(&rect), kResultOk);
        EXPECT_GT(rect.getWidth(), 0);
        view->onSize(&rect);
        view->canResize();
        EXPECT_EQ(view->release(), 0u);
        if (second) {
            second->getSize(&rect);
            EXPECT_EQ(second->release(), 0u);
        }
    }
}

// State calls after the effect was torn down still answer.
TEST_P(Misuse, StateAndValueCallsAfterTerminate)
{
    RawInstance plug;
    ASSERT_TRUE(plug.Valid());
    ASSERT_TRUE(plug.Prepare(GetParam(), 128));
    IPtr<MemoryStream> saved = owned(new MemoryStream);
    ASSERT_EQ(plug.controller->getState(saved), kResultOk);
    plug.component->terminate();

    IPtr<MemoryStream> again = owned(new MemoryStream);
    EXPECT_EQ(plug.controller->getState(again), kResultOk);
    EXPECT_EQ(again->getSize(), saved->getSize());
    saved->seek(0, IBStream::kIBSeekSet, nullptr);
    EXPECT_EQ(plug.controller->setState(saved), kResultOk);
    EXPECT_EQ(plug.controller->getState(nullptr), kInvalidArgument);
    EXPECT_EQ(plug.controller->setState(nullptr), kInvalidArgument);
    for (ParamID id : {0u, 8u, 9u, 0x62706173u, 0x70727374u, 0xFFFFFFFFu}) {
        plug.controller->setParamNormalized(id, 0.5);
        const double v = plug.controller->getParamNormalized(id);
        EXPECT_TRUE(v >= 0.0 && v <= 1.0);
        String128 text;
        plug.controller->getParamStringByValue(id, 0.5, text);
        ParamValue out = 0.0;
        plug.controller->getParamValueByString(id, text, out);
    }
    EXPECT_EQ(plug.controller->createView(nullptr), nullptr);
    EXPECT_TRUE(plug.Process(GetParam(), 128));
}

INSTANTIATE_TEST_SUITE_P(SampleSizes, Misuse, ::testing::Values(kSample32, kSample64),
                         [](const ::testing::TestParamInfo<int32>& info) {
    return info.param == kSample64 ? std::string("Float64") : std::string("Float32");
});

}   // namespace
