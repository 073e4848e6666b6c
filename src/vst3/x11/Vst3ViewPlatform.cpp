#include "vst3/Vst3ViewPlatform.h"

#include "vst3/x11/Vst3RunLoopBridge.h"

using namespace Steinberg;

const FIDString Vst3ViewPlatform::kPlatformType = kPlatformTypeX11EmbedWindowID;

Vst3ViewPlatform Vst3ViewPlatform::FindHostLoop(IPlugFrame* frame, FUnknown* context)
{
    Vst3ViewPlatform found;
    for (FUnknown* source : {static_cast<FUnknown*>(frame), context}) {
        Linux::IRunLoop* hostLoop = nullptr;
        if (source && source->queryInterface(Linux::IRunLoop::iid, reinterpret_cast<void**>(&hostLoop)) == kResultOk &&
            hostLoop) {
            auto* bridge = new Vst3RunLoopBridge(hostLoop);
            hostLoop->release();
            found.holder = owned(static_cast<FUnknown*>(static_cast<FObject*>(bridge)));
            found.loop = bridge;
            break;
        }
    }
    return found;
}

void Vst3ViewPlatform::DropWaitingRegistrations()
{
    Vst3RunLoopBridge::DropWaitingRegistrations();
}
