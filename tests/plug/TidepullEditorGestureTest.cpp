#include "EditorPixels.h"
#include "ParameterChanges.h"
#include "RecordingComponentHandler.h"
#include "TestHostContext.h"

#include "gui/BitmapControl.h"
#include "gui/WindowHost.h"
#include "plug/Tidepull.h"
#include "plug/TidepullEditorLayout.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

using Layout = TidepullEditorLayout;

// The plug itself, noting each ParamChanged with the value it saw and how
// many calls the host's handler had received by then.
class ObservedTidepull : public Tidepull {
public:
    struct Change {
        int32_t idx;
        double value;
        size_t handlerCalls;
    };

    void ParamChanged(int32_t paramIdx) override
    {
        Tidepull::ParamChanged(paramIdx);
        if (handler)
            changes.push_back({paramIdx, ParamAt(paramIdx)->Value(), handler->Calls().size()});
    }

    const RecordingComponentHandler* handler = nullptr;
    std::vector<Change> changes;
};

// A host with the plug initialised, its handler set and the editor shown
// once, driven through the editor's window events.
class TidepullEditorGesture : public ::testing::Test {
protected:
    void SetUp() override
    {
        plug = new ObservedTidepull();
        ASSERT_EQ(plug->initialize(&host), kResultOk);
        ASSERT_EQ(plug->setComponentHandler(&handler), kResultOk);
        plug->handler = &handler;
        editor = dynamic_cast<WindowHost*>(plug->GetEditor());
        ASSERT_NE(editor, nullptr);
        editor->Render(Bounds(0, 0, editor->Width(), editor->Height()));
    }

    void TearDown() override
    {
        plug->setComponentHandler(nullptr);
        plug->terminate();
        plug->release();
    }

    bool Shows(int32_t idx, int32_t stripId, int32_t frames, int32_t frame) const
    {
        const Bounds& r = editor->GetControl(idx)->Rect();
        return EditorPixels::Shown(*editor, r) == EditorPixels::Expected(stripId, frames, frame, r);
    }

    std::string HandlerTrace() const
    {
        std::string s;
        for (const RecordingComponentHandler::Call& c : handler.Calls())
            s += (s.empty() ? "" : " ") + c.what + std::to_string(c.id);
        return s;
    }

    TestHostContext host;
    RecordingComponentHandler handler;
    ObservedTidepull* plug = nullptr;
    WindowHost* editor = nullptr;
};

MouseModifiers LeftHeld()
{
    MouseModifiers m;
    m.left = true;
    return m;
}

}   // namespace

TEST_F(TidepullEditorGesture, KnobDragReachesTheRecordTheEngineAndTheHostInOrder)
{
    // "AC Threshold" spans 535..585 x 197..247: 50 pixels high, gearing 4,
    // so each 10 pixels up add 0.05.
    editor->OnMouseDown(kMouseLeft, 560, 222, MouseModifiers());
    editor->OnMouseMove(560, 212, LeftHeld());
    editor->OnMouseMove(560, 212, LeftHeld());
    editor->OnMouseMove(561, 202, LeftHeld());
    editor->OnMouseUp(kMouseLeft, 561, 202, MouseModifiers());

    EXPECT_EQ(HandlerTrace(), "begin2 perform2 perform2 end2");
    ASSERT_EQ(handler.Calls().size(), 4u);
    EXPECT_NEAR(handler.Calls()[1].value, 0.05, 1e-12);
    EXPECT_NEAR(handler.Calls()[2].value, 0.10, 1e-12);
    EXPECT_NEAR(plug->ParamAt(Tidepull::kAcThreshold)->Value(), 5.0, 1e-9);
    // The engine learnt each value right after the host did.
    ASSERT_EQ(plug->changes.size(), 2u);
    EXPECT_EQ(plug->changes[0].idx, Tidepull::kAcThreshold);
    EXPECT_NEAR(plug->changes[0].value, 2.5, 1e-9);
    EXPECT_EQ(plug->changes[0].handlerCalls, 2u);
    EXPECT_NEAR(plug->changes[1].value, 5.0, 1e-9);
    EXPECT_EQ(plug->changes[1].handlerCalls, 3u);

    editor->OnTimer();
    EXPECT_TRUE(Shows(Layout::kAcThresholdKnob, 103, 121, 13));
}

TEST_F(TidepullEditorGesture, SwitchClickTogglesItsParameterAndLamp)
{
    ParamRecord* sidechain = plug->ParamAt(Tidepull::kExternalSidechain);
    EXPECT_TRUE(Shows(Layout::kSidechainSwitch, 109, 2, 1));
    editor->OnMouseDown(kMouseLeft, 733, 219, MouseModifiers());
    editor->OnMouseUp(kMouseLeft, 733, 219, MouseModifiers());
    EXPECT_EQ(HandlerTrace(), "begin8 perform8 end8");
    EXPECT_EQ(handler.Calls()[1].value, 1.0);
    EXPECT_EQ(sidechain->Value(), 1.0);
    ASSERT_EQ(plug->changes.size(), 1u);
    EXPECT_EQ(plug->changes[0].idx, Tidepull::kExternalSidechain);
    editor->OnTimer();
    EXPECT_TRUE(Shows(Layout::kSidechainSwitch, 109, 2, 2));

    editor->OnMouseDown(kMouseLeft, 740, 230, MouseModifiers());
    editor->OnMouseUp(kMouseLeft, 740, 230, MouseModifiers());
    EXPECT_EQ(sidechain->Value(), 0.0);
    editor->OnTimer();
    EXPECT_TRUE(Shows(Layout::kSidechainSwitch, 109, 2, 1));
    // The Bypass lamp was never touched.
    EXPECT_TRUE(Shows(Layout::kBypassSwitch, 108, 2, 2));
}

TEST_F(TidepullEditorGesture, HostChangeWhileProcessingMovesTheKnobOnTheNextRedraw)
{
    ProcessSetup setup{kRealtime, kSample32, 256, 44100.0};
    ASSERT_EQ(plug->setupProcessing(setup), kResultOk);
    ASSERT_EQ(plug->setActive(true), kResultOk);
    plug->setProcessing(true);

    std::vector<float> silence(256, 0.0f), outL(256), outR(256);
    float* ins[2] = {silence.data(), silence.data()};
    float* outs[2] = {outL.data(), outR.data()};
    AudioBusBuffers inBus{};
    inBus.numChannels = 2;
    inBus.channelBuffers32 = ins;
    AudioBusBuffers outBus{};
    outBus.numChannels = 2;
    outBus.channelBuffers32 = outs;
    ParameterChanges changes;
    changes.Add(Tidepull::kAcThreshold, 0.5);
    ProcessData data;
    data.processMode = kRealtime;
    data.symbolicSampleSize = kSample32;
    data.numSamples = 256;
    data.numInputs = 1;
    data.inputs = &inBus;
    data.numOutputs = 1;
    data.outputs = &outBus;
    data.inputParameterChanges = &changes;

    const std::vector<PIX_Pixel32> before = EditorPixels::Snapshot(*editor);
    tresult result = kResultFalse;
    std::thread audio([&] { result = plug->process(data); });
    audio.join();
    ASSERT_EQ(result, kResultOk);

    EXPECT_EQ(plug->ParamAt(Tidepull::kAcThreshold)->Value(), 25.0);
    EXPECT_TRUE(handler.Calls().empty());   // nothing goes back to the host
    EXPECT_TRUE(EditorPixels::Snapshot(*editor) == before);
    Bounds dirty;
    ASSERT_TRUE(editor->CollectDirty(dirty));
    // The knob, and the meter the block moved.
    EXPECT_EQ(dirty, Bounds(535, 33, 902, 247));

    editor->OnTimer();
    EXPECT_TRUE(Shows(Layout::kAcThresholdKnob, 103, 121, 61));
    plug->setProcessing(false);
    plug->setActive(false);
}

TEST_F(TidepullEditorGesture, HostValueSetWithTheAudioStoppedShowsAndADragStartsFromIt)
{
    // No processing set up: the host moves AC Threshold to 29.6 dB through
    // the controller alone.
    ASSERT_EQ(plug->setParamNormalized(Tidepull::kAcThreshold, 0.592), kResultOk);
    ASSERT_EQ(plug->changes.size(), 1u);   // the engine follows
    EXPECT_NEAR(plug->changes[0].value, 29.6, 1e-9);
    editor->OnTimer();
    EXPECT_TRUE(Shows(Layout::kAcThresholdKnob, 103, 121, 72));

    // 4 pixels up add 0.02 to the host's value, not to the knob's old one.
    editor->OnMouseDown(kMouseLeft, 560, 222, MouseModifiers());
    editor->OnMouseMove(560, 218, LeftHeld());
    editor->OnMouseUp(kMouseLeft, 560, 218, MouseModifiers());
    ASSERT_EQ(HandlerTrace(), "begin2 perform2 end2");
    EXPECT_NEAR(handler.Calls()[1].value, 0.612, 1e-12);
    EXPECT_NEAR(plug->ParamAt(Tidepull::kAcThreshold)->Value(), 30.6, 1e-9);
}
