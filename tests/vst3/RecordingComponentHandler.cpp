#include "RecordingComponentHandler.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

tresult PLUGIN_API RecordingComponentHandler::beginEdit(ParamID id)
{
    calls.push_back({"begin", id, 0.0});
    return kResultOk;
}

tresult PLUGIN_API RecordingComponentHandler::performEdit(ParamID id, ParamValue valueNormalized)
{
    calls.push_back({"perform", id, valueNormalized});
    return kResultOk;
}

tresult PLUGIN_API RecordingComponentHandler::endEdit(ParamID id)
{
    calls.push_back({"end", id, 0.0});
    return kResultOk;
}

tresult PLUGIN_API RecordingComponentHandler::restartComponent(int32 flags)
{
    calls.push_back({"restart", 0, static_cast<ParamValue>(flags)});
    return kResultOk;
}
