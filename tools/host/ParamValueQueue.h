#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <vector>

namespace vsthost {

// The points of one parameter within one block. The owning ParameterChanges
// manages its life; the plug-in only borrows it during process().
class ParamValueQueue : public Steinberg::Vst::IParamValueQueue {
public:
    // A growable queue takes any number of points (test hosts); a fixed one
    // never allocates after construction.
    explicit ParamValueQueue(int capacity, bool growable = false);
    virtual ~ParamValueQueue() = default;

    void reset(Steinberg::Vst::ParamID id);
    // Host side, as a careless host sends them: no ordering, no merging.
    bool append(Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value);
    // Every getPoint fails, as with a broken host queue.
    void setUnreadable(bool on) { unreadable_ = on; }

    Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return id_; }
    Steinberg::int32 PLUGIN_API getPointCount() override;
    Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                           Steinberg::Vst::ParamValue& value) override;
    // Keeps the points ordered by offset; a second point at an offset replaces the first.
    Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                           Steinberg::int32& index) override;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    // Borrowed, never owned by the plug-in: counting would only hide misuse.
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
    struct Point {
        Steinberg::int32 offset;
        Steinberg::Vst::ParamValue value;
    };

    bool full() const { return !growable_ && points_.size() >= capacity_; }

    Steinberg::Vst::ParamID id_ = 0;
    std::vector<Point> points_;
    size_t capacity_;
    bool growable_;
    bool unreadable_ = false;
};

}   // namespace vsthost
