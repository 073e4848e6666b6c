#include "ForwardingComponentHandler.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

std::vector<ForwardingComponentHandler::Edit> ForwardingComponentHandler::TakePending()
{
    std::vector<Edit> taken;
    std::lock_guard<std::mutex> guard(lock);
    taken.swap(pending);
    return taken;
}

bool ForwardingComponentHandler::LastPerformed(ParamID id, ParamValue* value) const
{
    std::lock_guard<std::mutex> guard(lock);
    auto it = last.find(id);
    if (it == last.end())
        return false;
    *value = it->second;
    return true;
}

tresult PLUGIN_API ForwardingComponentHandler::beginEdit(ParamID)
{
    ++openGestures;
    return kResultOk;
}

tresult PLUGIN_API ForwardingComponentHandler::performEdit(ParamID id, ParamValue valueNormalized)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        pending.emplace_back(id, valueNormalized);
        last[id] = valueNormalized;
    }
    ++performs;
    return kResultOk;
}

tresult PLUGIN_API ForwardingComponentHandler::endEdit(ParamID)
{
    if (--openGestures < 0)
        gestureFault = true;
    return kResultOk;
}

tresult PLUGIN_API ForwardingComponentHandler::restartComponent(int32)
{
    return kResultOk;
}
