#pragma once

#include "RecordingComponentHandler.h"
#include "ViewContextMenu.h"

#include "pluginterfaces/vst/ivstcontextmenu.h"

#include <vector>

// A component handler that also offers host context menus
// (IComponentHandler3): it records each request and hands out its one menu.
class ViewMenuHandler : public RecordingComponentHandler, public Steinberg::Vst::IComponentHandler3 {
public:
    struct Request {
        Steinberg::IPlugView* view;
        Steinberg::Vst::ParamID id;
        bool hasId;
    };

    const std::vector<Request>& Requests() const { return requests; }
    ViewContextMenu& Menu() { return menu; }

    Steinberg::Vst::IContextMenu* PLUGIN_API createContextMenu(Steinberg::IPlugView* plugView,
                                                               const Steinberg::Vst::ParamID* paramID) SMTG_OVERRIDE;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return RecordingComponentHandler::addRef(); }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return RecordingComponentHandler::release(); }

private:
    std::vector<Request> requests;
    ViewContextMenu menu;
};
