#include "ComponentHandler.h"

using namespace Steinberg;

namespace vsthost {

tresult PLUGIN_API ComponentHandler::queryInterface(const TUID queried, void** obj)
{
    QUERY_INTERFACE(queried, obj, FUnknown::iid, Vst::IComponentHandler)
    QUERY_INTERFACE(queried, obj, Vst::IComponentHandler::iid, Vst::IComponentHandler)
    *obj = nullptr;
    return kNoInterface;
}

tresult PLUGIN_API ComponentHandler::beginEdit(Vst::ParamID)
{
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::performEdit(Vst::ParamID, Vst::ParamValue)
{
    ++edits_;
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::endEdit(Vst::ParamID)
{
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::restartComponent(int32 flags)
{
    restartFlags_ |= flags;
    return kResultOk;
}

}   // namespace vsthost
