#pragma once

#include "pluginterfaces/vst/ivstcontextmenu.h"

#include <atomic>
#include <functional>

// The context menu a host hands out for a parameter: empty, and noting
// where the plug-in pops it up. A hook may run inside popup, as a host's
// own menu loop runs there.
class ViewContextMenu : public Steinberg::Vst::IContextMenu {
public:
    virtual ~ViewContextMenu() = default;

    int Popups() const { return popups; }
    Steinberg::UCoord LastX() const { return lastX; }
    Steinberg::UCoord LastY() const { return lastY; }
    Steinberg::uint32 RefCount() const { return refCount; }
    std::function<void()> onPopup;

    Steinberg::int32 PLUGIN_API getItemCount() SMTG_OVERRIDE { return 0; }
    Steinberg::tresult PLUGIN_API getItem(Steinberg::int32, Item&, Steinberg::Vst::IContextMenuTarget**) SMTG_OVERRIDE
    {
        return Steinberg::kResultFalse;
    }
    Steinberg::tresult PLUGIN_API addItem(const Item&, Steinberg::Vst::IContextMenuTarget*) SMTG_OVERRIDE
    {
        return Steinberg::kResultOk;
    }
    Steinberg::tresult PLUGIN_API removeItem(const Item&, Steinberg::Vst::IContextMenuTarget*) SMTG_OVERRIDE
    {
        return Steinberg::kResultOk;
    }
    Steinberg::tresult PLUGIN_API popup(Steinberg::UCoord x, Steinberg::UCoord y) SMTG_OVERRIDE;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return ++refCount; }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return --refCount; }

private:
    int popups = 0;
    Steinberg::UCoord lastX = -1;
    Steinberg::UCoord lastY = -1;
    std::atomic<Steinberg::uint32> refCount{1};
};
