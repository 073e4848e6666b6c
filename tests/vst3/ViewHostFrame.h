#pragma once

#include "pluginterfaces/gui/iplugview.h"

#include <atomic>
#include <vector>

// The host's frame around a plug-in view: records the resize requests.
class ViewHostFrame : public Steinberg::IPlugFrame {
public:
    struct Resize {
        Steinberg::IPlugView* view;
        Steinberg::ViewRect rect;
    };

    virtual ~ViewHostFrame() = default;

    const std::vector<Resize>& Resizes() const { return resizes; }
    Steinberg::uint32 RefCount() const { return refCount; }

    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) SMTG_OVERRIDE;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return ++refCount; }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return --refCount; }

private:
    std::vector<Resize> resizes;
    std::atomic<Steinberg::uint32> refCount{1};
};
