#include "vst3/Vst3ViewPlatform.h"

using namespace Steinberg;

const FIDString Vst3ViewPlatform::kPlatformType = kPlatformTypeHWND;

// The window runs on its own messages: the host's loop is never asked for.
Vst3ViewPlatform Vst3ViewPlatform::FindHostLoop(IPlugFrame* /*frame*/, FUnknown* /*context*/)
{
    return Vst3ViewPlatform();
}

void Vst3ViewPlatform::DropWaitingRegistrations()
{
}
