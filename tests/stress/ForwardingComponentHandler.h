#pragma once

#include "host/ComponentHandler.h"

#include <atomic>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

// The host's component handler as a real host runs it: every performEdit the
// editor makes is queued for the audio thread, which hands it back to the
// plug-in as a parameter change of its next block. Safe to call from any
// thread; the audio side only holds the queue's lock while taking it over.
// Held by the test: counted, never deleted by a release.
class ForwardingComponentHandler : public vsthost::ComponentHandler {
public:
    using Edit = std::pair<Steinberg::Vst::ParamID, Steinberg::Vst::ParamValue>;

    // The edits queued since the last call, oldest first.
    std::vector<Edit> TakePending();
    // The last value performEdit gave for id; false when there was none.
    bool LastPerformed(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue* value) const;
    int64_t PerformCount() const { return performs.load(); }
    // Gestures opened and not closed yet, over all parameters.
    int32_t OpenGestures() const { return openGestures.load(); }
    bool GestureFault() const { return gestureFault.load(); }

    Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                              Steinberg::Vst::ParamValue valueNormalized) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) SMTG_OVERRIDE;

    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return --refs_; }

private:
    mutable std::mutex lock;
    std::vector<Edit> pending;
    std::map<Steinberg::Vst::ParamID, Steinberg::Vst::ParamValue> last;
    std::atomic<int64_t> performs{0};
    std::atomic<int32_t> openGestures{0};
    std::atomic<bool> gestureFault{false};
};
