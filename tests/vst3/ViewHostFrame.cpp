#include "ViewHostFrame.h"

using namespace Steinberg;

tresult PLUGIN_API ViewHostFrame::resizeView(IPlugView* view, ViewRect* newSize)
{
    resizes.push_back({view, newSize ? *newSize : ViewRect()});
    return kResultOk;
}

tresult PLUGIN_API ViewHostFrame::queryInterface(const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, IPlugFrame::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
        addRef();
        *obj = static_cast<IPlugFrame*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}
