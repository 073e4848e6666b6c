#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"

class HostEventLoop;

// The editor view's side of this system's windows: the one platform type the
// editor window embeds into, and the host's event loop for a window that runs
// on one (a Linux host's run loop). Where windows run on messages of their
// own no loop is ever found.
class Vst3ViewPlatform {
public:
    static const Steinberg::FIDString kPlatformType;

    // The host's loop, found through the frame or else the host context,
    // ready to hand to the editor window; holds none when the host has none.
    static Vst3ViewPlatform FindHostLoop(Steinberg::IPlugFrame* frame, Steinberg::FUnknown* context);
    // Drops the loop registrations of closed windows that may go now.
    static void DropWaitingRegistrations();

    HostEventLoop* Loop() const { return loop; }

private:
    // Keeps the loop alive for as long as a view holds it.
    Steinberg::IPtr<Steinberg::FUnknown> holder;
    HostEventLoop* loop = nullptr;
};
