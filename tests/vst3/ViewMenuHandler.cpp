#include "ViewMenuHandler.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

IContextMenu* PLUGIN_API ViewMenuHandler::createContextMenu(IPlugView* plugView, const ParamID* paramID)
{
    requests.push_back({plugView, paramID ? *paramID : 0, paramID != nullptr});
    menu.addRef();
    return &menu;
}

tresult PLUGIN_API ViewMenuHandler::queryInterface(const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, IComponentHandler3::iid)) {
        addRef();
        *obj = static_cast<IComponentHandler3*>(this);
        return kResultOk;
    }
    return RecordingComponentHandler::queryInterface(iid, obj);
}
