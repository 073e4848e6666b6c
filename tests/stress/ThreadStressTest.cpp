// The audio thread against the UI thread on one plug, as a host runs them:
// blocks with parameter, preset and bypass changes at random sizes on one
// side; editor gestures, state save and load, controller value calls and
// views on the other. Built under ThreadSanitizer as well (label threading).
#include "ForwardingComponentHandler.h"
#include "ParameterChanges.h"
#include "TestDeadline.h"
#include "TestHostContext.h"

#include "core/ParamRecord.h"
#include "gui/Control.h"
#include "gui/WindowHost.h"
#include "plug/Tidepull.h"
#include "plug/TidepullEditorLayout.h"
#include "vst3/Vst3Plug.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "host/ByteStream.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

using Layout = TidepullEditorLayout;

constexpr int32 kMaxBlock = 512;
constexpr int kStateBytes = 76;

// The editor's knobs and switch that only the UI side changes; the audio
// side automates the other parameters, so each of these holds exactly what
// the last edit or state load gave it.
struct UiControl {
    int32_t control;
    int32_t param;
};
constexpr UiControl kUiKnobs[] = {
    {Layout::kInputKnob, Tidepull::kInputAtten},
    {Layout::kOutputKnob, Tidepull::kOutput},
    {Layout::kAcThresholdKnob, Tidepull::kAcThreshold},
    {Layout::kDcThresholdKnob, Tidepull::kDcThreshold},
    {Layout::kMixKnob, Tidepull::kMix},
};
constexpr UiControl kUiSwitch = {Layout::kBypassSwitch, Tidepull::kBypass};
constexpr int32_t kAudioParams[] = {Tidepull::kRelease, Tidepull::kHpf, Tidepull::kExternalSidechain};

// The work is counted, not timed: how the scheduler shares a busy machine
// between the two threads decides only how long the test takes.
// TIDEPULL_STRESS_ACTIONS sets the UI thread's actions; fewer by default
// under the sanitizers, which run it many times slower.
long StressActions()
{
    const char* text = std::getenv("TIDEPULL_STRESS_ACTIONS");
    const long n = text ? std::atol(text) : 0;
#if defined(TIDEPULL_SANITIZED)
    return n > 0 ? n : 20000;
#else
    return n > 0 ? n : 100000;
#endif
}
// The audio thread runs at least this many blocks, and on until the UI has
// finished and its last edits have travelled.
constexpr int64_t kAudioBlocks = 5000;

// What SetFromNormalized stores for x, computed the same way the record does.
bool HoldsNormalized(const ParamRecord& record, double x)
{
    if (record.Kind() == kParamContinuous)
        return std::fabs(record.NormalizedOf() - x) < 1e-9;
    double v = record.PlainOf(x);
    v = std::floor(v / record.Step() + 0.5) * record.Step();
    v = v < record.Max() ? v : record.Max();
    return record.Value() == v;
}

MouseModifiers Left()
{
    MouseModifiers m;
    m.left = true;
    return m;
}

class ThreadStress : public ::testing::TestWithParam<int32> {
protected:
    void SetUp() override
    {
        plug = new Tidepull();
        ASSERT_EQ(plug->initialize(static_cast<IHostApplication*>(&host)), kResultOk);
        ASSERT_EQ(plug->setComponentHandler(&handler), kResultOk);
        editor = dynamic_cast<WindowHost*>(plug->GetEditor());
        ASSERT_NE(editor, nullptr);
        ASSERT_EQ(plug->activateBus(kAudio, kInput, 0, true), kResultOk);
        ASSERT_EQ(plug->activateBus(kAudio, kOutput, 0, true), kResultOk);
        ASSERT_EQ(plug->activateBus(kAudio, kInput, 1, true), kResultOk);
        ProcessSetup setup{kRealtime, GetParam(), kMaxBlock, 48000.0};
        ASSERT_EQ(plug->setupProcessing(setup), kResultOk);
        ASSERT_EQ(plug->setActive(true), kResultOk);
        plug->setProcessing(true);   // the SDK answers not implemented
    }

    void TearDown() override
    {
        if (!plug)
            return;
        plug->setProcessing(false);
        plug->setActive(false);
        plug->setComponentHandler(nullptr);
        plug->terminate();
        plug->release();
    }

    void AudioThread();
    void UiThread();
    void Gesture(std::mt19937& rng, const UiControl& c);
    std::vector<uint8_t> SaveState();
    tresult LoadState(const std::vector<uint8_t>& bytes);

    void Fail(const std::string& what)
    {
        std::lock_guard<std::mutex> guard(failureLock);
        if (failure.empty())
            failure = what;
    }

    TestHostContext host;
    ForwardingComponentHandler handler;
    Tidepull* plug = nullptr;
    WindowHost* editor = nullptr;

    std::atomic<bool> uiDone{false};
    std::atomic<bool> audioDone{false};
    std::atomic<int64_t> blocks{0};
    std::atomic<int64_t> blocksBesideUi{0};
    std::atomic<int64_t> forwarded{0};
    std::atomic<int64_t> uiActions{0};
    std::mutex failureLock;
    std::string failure;
};

void ThreadStress::AudioThread()
{
    std::mt19937 rng(1234);
    const bool is64 = GetParam() == kSample64;
    std::vector<float> f32[6];
    std::vector<double> f64[6];
    for (int ch = 0; ch < 6; ++ch) {
        f32[ch].resize(kMaxBlock);
        f64[ch].resize(kMaxBlock);
    }
    float* p32[6];
    double* p64[6];
    for (int ch = 0; ch < 6; ++ch) {
        p32[ch] = f32[ch].data();
        p64[ch] = f64[ch].data();
    }
    ProcessContext context{};
    context.sampleRate = 48000.0;
    context.tempo = 120.0;
    context.timeSigNumerator = 4;
    context.timeSigDenominator = 4;
    context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kTimeSigValid;

    uint32_t noise = 1;
    bool drained = false;
    while (!drained) {
        // Once the UI has finished, only its last edits still travel.
        const bool last = uiDone.load();
        std::vector<ForwardingComponentHandler::Edit> edits = handler.TakePending();
        ParameterChanges changes;
        if (!last) {
            // Preset first: the edits of the same block must win over it.
            if (rng() % 64 == 0)
                changes.Add(Vst3Plug::kPresetParamId, 0.0);
            if (rng() % 4 == 0)
                changes.Add(kAudioParams[rng() % 3], std::uniform_real_distribution<double>(0.0, 1.0)(rng));
            if (rng() % 16 == 0)
                changes.Add(Vst3Plug::kBypassParamId, (rng() % 2) ? 1.0 : 0.0);
        }
        for (const auto& e : edits)
            changes.Add(e.first, e.second);

        const int32 n = 1 + static_cast<int32>(rng() % kMaxBlock);
        for (int ch = 0; ch < 4; ++ch)
            for (int32 i = 0; i < n; ++i) {
                noise = noise * 1664525u + 1013904223u;
                const double v = (static_cast<double>(noise >> 8) / 8388608.0 - 1.0) * 0.7;
                f32[ch][static_cast<size_t>(i)] = static_cast<float>(v);
                f64[ch][static_cast<size_t>(i)] = v;
            }
        AudioBusBuffers in[2] = {};
        AudioBusBuffers out = {};
        in[0].numChannels = 2;
        in[1].numChannels = 2;
        out.numChannels = 2;
        if (is64) {
            in[0].channelBuffers64 = p64;
            in[1].channelBuffers64 = p64 + 2;
            out.channelBuffers64 = p64 + 4;
        } else {
            in[0].channelBuffers32 = p32;
            in[1].channelBuffers32 = p32 + 2;
            out.channelBuffers32 = p32 + 4;
        }
        ProcessData data;
        data.processMode = kRealtime;
        data.symbolicSampleSize = GetParam();
        data.numSamples = n;
        data.numInputs = 2;
        data.numOutputs = 1;
        data.inputs = in;
        data.outputs = &out;
        data.inputParameterChanges = &changes;
        data.processContext = &context;

        {
            // The host holds the plug's own lock around the block and the
            // check, so no UI call slips in between them.
            std::lock_guard<std::recursive_mutex> lock(plug->Mutex());
            plug->process(data);
            for (const auto& e : edits) {
                const ParamRecord* record = plug->ParamAt(static_cast<int32_t>(e.first));
                // Only the queue's last edit of a parameter has to hold.
                bool later = false;
                for (const auto& f : edits)
                    later = later || (&f > &e && f.first == e.first);
                if (record && !later && !HoldsNormalized(*record, e.second))
                    Fail("edit of parameter " + std::to_string(e.first) + " to " + std::to_string(e.second) +
                         " lost in the block that carried it");
            }
        }
        for (int ch = 4; ch < 6; ++ch)
            for (int32 i = 0; i < n; ++i) {
                const double v = is64 ? f64[ch][static_cast<size_t>(i)] : f32[ch][static_cast<size_t>(i)];
                if (!std::isfinite(v))
                    Fail("non-finite output");
            }
        context.projectTimeSamples += n;
        ++blocks;
        if (!last)
            ++blocksBesideUi;
        forwarded += static_cast<int64_t>(edits.size());
        drained = last && edits.empty() && blocks.load() >= kAudioBlocks;
    }
    audioDone = true;
}

// Press, a few moves and release on a control, or a double click back to the
// control's default (the down and up around it as a window delivers them).
void ThreadStress::Gesture(std::mt19937& rng, const UiControl& c)
{
    const Bounds& r = editor->GetControl(c.control)->Rect();
    const int32_t x = (r.left + r.right) / 2;
    const int32_t y = (r.top + r.bottom) / 2;
    switch (rng() % 4) {
    case 0:
        editor->OnMouseDown(kMouseLeft, x, y, MouseModifiers());
        editor->OnMouseUp(kMouseLeft, x, y, MouseModifiers());
        editor->OnMouseDoubleClick(x, y, MouseModifiers());
        editor->OnMouseUp(kMouseLeft, x, y, MouseModifiers());
        break;
    case 1:
        editor->OnMouseWheel(x, y, MouseModifiers(), (static_cast<int32_t>(rng() % 5) - 2) * WindowHost::kWheelDelta);
        break;
    default: {
        editor->OnMouseDown(kMouseLeft, x, y, MouseModifiers());
        int32_t my = y;
        const int moves = 1 + static_cast<int>(rng() % 8);
        for (int k = 0; k < moves; ++k) {
            my += static_cast<int32_t>(rng() % 41) - 20;
            editor->OnMouseMove(x, my, Left());
        }
        editor->OnMouseUp(kMouseLeft, x, my, MouseModifiers());
        break;
    }
    }
}

std::vector<uint8_t> ThreadStress::SaveState()
{
    vsthost::ByteStream stream;
    if (plug->getState(&stream) != kResultOk)
        return {};
    return stream.bytes();
}

tresult ThreadStress::LoadState(const std::vector<uint8_t>& bytes)
{
    vsthost::ByteStream stream(bytes);
    return plug->setState(&stream);
}

void ThreadStress::UiThread()
{
    std::mt19937 rng(99);
    const long actions = StressActions();
    std::vector<uint8_t> saved = SaveState();
    while (uiActions.load() < actions) {
        ++uiActions;
        switch (rng() % 12) {
        case 0:
        case 1:
        case 2: Gesture(rng, kUiKnobs[rng() % 5]); break;
        case 3: Gesture(rng, kUiSwitch); break;
        case 4: editor->OnTimer(); break;
        case 5: {
            std::vector<uint8_t> blob = SaveState();
            if (blob.size() != kStateBytes)
                Fail("state of " + std::to_string(blob.size()) + " bytes");
            if (rng() % 2)
                saved = blob;
            break;
        }
        case 6:
            if (LoadState(saved) != kResultOk)
                Fail("a saved state did not load");
            break;
        case 7:
            for (ParamID id = 0; id < static_cast<ParamID>(Tidepull::kNumParams); ++id) {
                const double v = plug->getParamNormalized(id);
                if (!(v >= 0.0 && v <= 1.0))
                    Fail("getParamNormalized out of range");
            }
            plug->getParamNormalized(Vst3Plug::kBypassParamId);
            plug->setParamNormalized(static_cast<ParamID>(kAudioParams[rng() % 3]),
                                     std::uniform_real_distribution<double>(0.0, 1.0)(rng));
            break;
        case 8: {
            String128 text;
            plug->getParamStringByValue(static_cast<ParamID>(rng() % Tidepull::kNumParams),
                                        std::uniform_real_distribution<double>(0.0, 1.0)(rng), text);
            break;
        }
        case 9:
            if (IPlugView* view = plug->createView("editor")) {
                ViewRect rect;
                view->getSize(&rect);
                view->release();
            }
            break;
        case 10: {
            // Transport queries, as an editor showing the song position makes.
            TransportInfo info;
            plug->GetHostTimeInfo(&info);
            plug->GetHostTempo();
            plug->GetHostSamplePos();
            break;
        }
        default:
            editor->OnMouseMove(static_cast<int32_t>(rng() % Layout::kWidth),
                                static_cast<int32_t>(rng() % Layout::kHeight), MouseModifiers());
            break;
        }
    }
    // Last, every UI knob is moved and then set back to its default by a
    // double click while the echoes of the move are still on their way.
    for (const UiControl& c : kUiKnobs) {
        const Bounds& r = editor->GetControl(c.control)->Rect();
        const int32_t x = (r.left + r.right) / 2;
        const int32_t y = (r.top + r.bottom) / 2;
        editor->OnMouseDown(kMouseLeft, x, y, MouseModifiers());
        // Still inside the knob, so the double click lands on it.
        const int32_t step = (r.bottom - r.top) / 6;
        editor->OnMouseMove(x, y - step, Left());
        editor->OnMouseMove(x, y - 2 * step, Left());
        editor->OnMouseUp(kMouseLeft, x, y - 2 * step, MouseModifiers());
        editor->OnMouseDoubleClick(x, y - 2 * step, MouseModifiers());
        editor->OnMouseUp(kMouseLeft, x, y - 2 * step, MouseModifiers());
    }
    uiDone = true;
}

TEST_P(ThreadStress, AudioAgainstEditorStateAndControllerLosesNoEdit)
{
    std::thread ui([this] { UiThread(); });
    std::thread audio([this] { AudioThread(); });

    // A deadlock shows as threads that never finish: fail loudly instead of
    // hanging until the test runner's timeout. The work takes a few seconds
    // on an idle machine (a minute under ThreadSanitizer).
    const bool finished = TestDeadline::Until([this]() { return uiDone.load() && audioDone.load(); },
                                              []() { std::this_thread::sleep_for(std::chrono::milliseconds(10)); },
                                              std::chrono::seconds(240));
    if (!finished) {
        std::fprintf(stderr, "deadlock: ui %s after %lld actions, audio %s after %lld blocks\n",
                     uiDone ? "done" : "stuck", static_cast<long long>(uiActions.load()), audioDone ? "done" : "stuck",
                     static_cast<long long>(blocks.load()));
        std::fflush(stderr);
        std::_Exit(3);
    }
    ui.join();
    audio.join();

    // What must hold however the threads were scheduled: no failure seen in
    // any block, every edit the UI made reached the host and the audio side.
    EXPECT_EQ(failure, "");
    EXPECT_GT(handler.PerformCount(), 10);
    EXPECT_EQ(forwarded.load(), handler.PerformCount());

    // The last edit of each UI knob was its double click back to the
    // default: the host, the record, the state and the knob all hold it.
    const std::vector<uint8_t> blob = SaveState();
    ASSERT_EQ(blob.size(), static_cast<size_t>(kStateBytes));
    for (const UiControl& c : kUiKnobs) {
        const Control* knob = editor->GetControl(c.control);
        const ParamRecord* record = plug->ParamAt(c.param);
        ParamValue last = -1.0;
        ASSERT_TRUE(handler.LastPerformed(static_cast<ParamID>(c.param), &last));
        EXPECT_EQ(last, knob->DefaultValue()) << "parameter " << c.param;
        EXPECT_EQ(knob->Value(), last) << "parameter " << c.param;
        EXPECT_TRUE(HoldsNormalized(*record, last)) << "parameter " << c.param;
        double stored = 0.0;
        std::memcpy(&stored, blob.data() + 8 * c.param, sizeof stored);
        EXPECT_EQ(stored, record->Value()) << "parameter " << c.param;
    }
    std::printf("%lld blocks (%lld while the UI ran), %lld UI actions, %lld edits forwarded\n",
                static_cast<long long>(blocks.load()), static_cast<long long>(blocksBesideUi.load()),
                static_cast<long long>(uiActions.load()), static_cast<long long>(forwarded.load()));
}

INSTANTIATE_TEST_SUITE_P(SampleSizes, ThreadStress, ::testing::Values(kSample32, kSample64),
                         [](const ::testing::TestParamInfo<int32>& info) {
    return info.param == kSample64 ? std::string("Float64") : std::string("Float32");
});

}   // namespace
