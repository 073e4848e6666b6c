#pragma once

#include "ParamValueQueue.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <memory>
#include <vector>

namespace vsthost {

// The parameter changes of one block: one queue per changed parameter. All
// queues are allocated up front so the plug-in may add output changes on the
// audio thread without the host allocating; a growable list (test hosts)
// makes more when it runs out.
class ParameterChanges : public Steinberg::Vst::IParameterChanges {
public:
    ParameterChanges(int maxQueues, int pointsPerQueue, bool growable = false);
    virtual ~ParameterChanges() = default;

    void clear();
    // Host side: one point for `id`; false when out of room.
    bool add(Steinberg::Vst::ParamID id, Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value);
    // Host side: a queue of its own for `id`, even when one exists already
    // (hosts that repeat a parameter); null when out of room.
    ParamValueQueue* addQueue(Steinberg::Vst::ParamID id);
    // A slot whose getParameterData answers null.
    bool addNullSlot();

    Steinberg::int32 PLUGIN_API getParameterCount() override;
    Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
    // Returns the existing queue for `id` when there is one.
    Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                  Steinberg::int32& index) override;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }

protected:
    // How a growable list makes the queues it adds.
    virtual std::unique_ptr<ParamValueQueue> makeQueue();

private:
    bool full() const { return !growable_ && slots_.size() >= queues_.size(); }

    std::vector<std::unique_ptr<ParamValueQueue>> queues_;
    // What getParameterData shows, in order; null for a null slot.
    std::vector<ParamValueQueue*> slots_;
    size_t used_ = 0;
    int pointsPerQueue_;
    bool growable_;
};

}   // namespace vsthost
