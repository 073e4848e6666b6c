#pragma once

#include "core/FixedText.h"
#include "core/PlugCore.h"

#include <cstdint>
#include <string>
#include <vector>

// A plug that writes down, in order, everything the editor asks of it.
class RecordingPlug : public PlugCore {
public:
    enum Param : int32_t { kGain = 0, kRelease, kSwitch, kMix, kMode, kNumParams };

    struct Event {
        char kind;   // B begin, P perform, E end, C changed, M context menu, R resize
        int32_t idx;
        double value;
    };

    explicit RecordingPlug(int32_t apiCode = 1)
        : PlugCore(kNumParams, "2-2", 1, "Test", "", "Maker", 0x10000, 0x54737431, 0x4D6B7231, apiCode)
    {
        ParamAt(kGain)->InitContinuous("Gain", 0.0, -18.0, 18.0, 0.01, "dB", "", 1.0);
        ParamAt(kRelease)->InitInteger("Release", 0, 0, 5, "", "");
        ParamAt(kSwitch)->InitInteger("Switch", 1, 0, 1, "", "");
        ParamAt(kMix)->InitContinuous("Mix", 100.0, 0.0, 100.0, 0.01, "%", "", 1.0);
        ParamAt(kMode)->InitEnum("Mode", 1, 3, "", "");
    }

    void ParamChanged(int32_t paramIdx) override
    {
        PlugCore::ParamChanged(paramIdx);
        events.push_back({'C', paramIdx, ParamAt(paramIdx)->Value()});
    }
    void BeginParamEdit(int32_t paramIdx) override { events.push_back({'B', paramIdx, 0.0}); }
    void PerformParamEdit(int32_t paramIdx, double normalized) override
    {
        events.push_back({'P', paramIdx, normalized});
    }
    void EndParamEdit(int32_t paramIdx) override { events.push_back({'E', paramIdx, 0.0}); }
    void PopupParamContextMenu(int32_t paramIdx, int32_t x, int32_t y) override
    {
        events.push_back({'M', paramIdx, x * 10000.0 + y});
    }
    void ResizeEditor(int32_t width, int32_t height) override
    {
        events.push_back({'R', width, static_cast<double>(height)});
    }
    int32_t GetHostSamplePos() override { return 0; }
    double GetHostTempo() override { return 0.0; }
    void GetHostTimeSig(int32_t*, int32_t*) override {}
    void GetHostTimeInfo(TransportInfo*) override {}
    bool EmitMidiEvent(const MidiEvent&) override { return false; }

    // "B0 P0 C0 E0": kinds and indices in order.
    std::string Trace() const
    {
        std::string s;
        for (const Event& e : events) {
            if (!s.empty())
                s += ' ';
            s += e.kind;
            s += std::to_string(e.idx);
        }
        return s;
    }

    // Empty when the edits the host heard are sound: every perform inside a
    // begin and an end of its own parameter, one edit open at a time, none
    // left open (unless openAllowed). Otherwise the first fault.
    std::string EditFault(bool openAllowed = false) const
    {
        int32_t open = -1;
        for (size_t i = 0; i < events.size(); ++i) {
            const Event& e = events[i];
            const std::string at = " at event " + std::to_string(i) + " of " + Trace();
            if (e.kind == 'B') {
                if (open >= 0)
                    return "begin " + std::to_string(e.idx) + " inside the edit of " + std::to_string(open) + at;
                open = e.idx;
            } else if (e.kind == 'P' || e.kind == 'E') {
                if (open != e.idx)
                    return std::string(e.kind == 'P' ? "perform " : "end ") + std::to_string(e.idx) +
                        " outside its edit" + at;
                if (e.kind == 'E')
                    open = -1;
            }
        }
        if (open >= 0 && !openAllowed)
            return "the edit of " + std::to_string(open) + " never ends: " + Trace();
        return "";
    }

    // The value of the last event of a kind, or -1 when there is none.
    double LastValue(char kind) const
    {
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
            if (it->kind == kind)
                return it->value;
        }
        return -1.0;
    }

    std::vector<Event> events;
};
