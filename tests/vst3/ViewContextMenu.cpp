#include "ViewContextMenu.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

tresult PLUGIN_API ViewContextMenu::popup(UCoord x, UCoord y)
{
    ++popups;
    lastX = x;
    lastY = y;
    if (onPopup)
        onPopup();
    return kResultOk;
}

tresult PLUGIN_API ViewContextMenu::queryInterface(const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, IContextMenu::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
        addRef();
        *obj = static_cast<IContextMenu*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}
