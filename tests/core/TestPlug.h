#pragma once

#include "core/EditorLink.h"
#include "core/FixedText.h"
#include "core/PlugCore.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

// A minimal plug on the core: it records what the core asks of it.
class TestPlug : public PlugCore {
public:
    explicit TestPlug(int32_t nParams = 3, const char* io = "2-2 4-2", int32_t nPresets = 1)
        : PlugCore(nParams, io, nPresets, "Test", "", "Maker", 0x10000, FourCharCode("Tst1"), FourCharCode("Mkr1"), 1)
    {
    }

    void ParamChanged(int32_t paramIdx) override
    {
        PlugCore::ParamChanged(paramIdx);
        changed.push_back(paramIdx);
        if (onParamChanged)
            onParamChanged(paramIdx);
    }
    void BeginParamEdit(int32_t) override {}
    void PerformParamEdit(int32_t paramIdx, double normalized) override
    {
        performed.emplace_back(paramIdx, normalized);
        // The host hears of the edit before the engine does.
        performedBeforeChanged = changed.empty();
        if (onPerform)
            onPerform();
    }
    void EndParamEdit(int32_t) override {}
    int32_t GetHostSamplePos() override { return 0; }
    double GetHostTempo() override { return 0.0; }
    void GetHostTimeSig(int32_t*, int32_t*) override {}
    void GetHostTimeInfo(TransportInfo*) override {}
    void ResizeEditor(int32_t, int32_t) override {}
    bool EmitMidiEvent(const MidiEvent&) override { return false; }
    void PresetRestored() override { ++presetRestoredCount; }

    using PlugCore::CreateLatencyDelay;

    std::vector<int32_t> changed;
    std::vector<std::pair<int32_t, double>> performed;
    bool performedBeforeChanged = false;
    int presetRestoredCount = 0;
    std::function<void(int32_t)> onParamChanged;
    std::function<void()> onPerform;
};

// What a fake editor saw. Lives outside the editor because the plug owns
// (and deletes) the editor itself.
struct EditorLog {
    struct Push {
        int32_t paramIdx;
        double value;
        bool normalized;
    };
    std::vector<Push> pushes;
    int prepareCalls = 0;
    bool pushedBeforePrepare = false;
    bool editorStoredDuringPrepare = false;
    int receiveCalls = 0;
    int32_t lastControl = -1;
    double lastValue = 0.0;
};

class FakeEditor : public EditorLink {
public:
    FakeEditor(EditorLog& log_, int32_t controls_ = 0, const PlugCore* owner_ = nullptr)
        : log(log_),
          controls(controls_),
          owner(owner_)
    {
    }

    void PushParamToControls(int32_t paramIdx, double value, bool normalized) override
    {
        log.pushes.push_back({paramIdx, value, normalized});
        if (onPush)
            onPush();
    }
    void PrepareSurfaces() override
    {
        ++log.prepareCalls;
        log.pushedBeforePrepare = !log.pushes.empty();
        log.editorStoredDuringPrepare = owner && owner->GetEditor() == this;
    }
    int32_t ControlCount() const override { return controls; }
    void ReceiveControlValue(int32_t controlIdx, double normalized) override
    {
        ++log.receiveCalls;
        log.lastControl = controlIdx;
        log.lastValue = normalized;
    }

    std::function<void()> onPush;

private:
    EditorLog& log;
    int32_t controls;
    const PlugCore* owner;
};
