#pragma once

#include "gui/HostEventLoop.h"

#include "base/source/fobject.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"

#include <cstddef>
#include <vector>

// The editor window's event loop in a Linux host: the host's IRunLoop, with
// this object registered as the descriptor's event handler and as the timer.
//
// Hosts iterate their handler lists while calling them, so a registration is
// never dropped while a callback of its kind runs (a window closed from
// inside a tick, or from a host menu that runs its own loop inside an input
// callback). Such a registration waits in a process-wide list and is dropped
// at the next safe moment: a callback of the other kind, any editor view
// call, or the next window. Until then a waiting descriptor watch still
// drains the connection, and a waiting timer does nothing.
class Vst3RunLoopBridge : public Steinberg::FObject,
                          public Steinberg::Linux::IEventHandler,
                          public Steinberg::Linux::ITimerHandler,
                          public HostEventLoop {
public:
    explicit Vst3RunLoopBridge(Steinberg::Linux::IRunLoop* runLoop);
    ~Vst3RunLoopBridge() override;

    // HostEventLoop
    bool WatchFd(int fd, HostFdWatcher* watcher) override;
    void UnwatchFd() override;
    bool StartTimer(int32_t periodMs, HostTimerClient* client) override;
    void StopTimer() override;

    // IEventHandler, ITimerHandler
    void PLUGIN_API onFDIsSet(Steinberg::Linux::FileDescriptor fd) SMTG_OVERRIDE;
    void PLUGIN_API onTimer() SMTG_OVERRIDE;

    bool WatchRegistered() const { return fdRegistered; }
    bool TimerRegistered() const { return timerRegistered; }

    // Drops the waiting registrations that may go now.
    static void DropWaitingRegistrations();
    static size_t WaitingCount();

    OBJ_METHODS(Vst3RunLoopBridge, FObject)
    DEFINE_INTERFACES
    DEF_INTERFACE(Steinberg::Linux::IEventHandler)
    DEF_INTERFACE(Steinberg::Linux::ITimerHandler)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    void DropWatch();
    void DropTimer();
    void Wait();
    bool Waiting() const { return fdWaiting || timerWaiting; }

    Steinberg::IPtr<Steinberg::Linux::IRunLoop> runLoop;
    HostFdWatcher* watcher = nullptr;
    int watchedFd = -1;
    HostTimerClient* client = nullptr;
    bool fdRegistered = false;
    bool timerRegistered = false;
    bool fdWaiting = false;
    bool timerWaiting = false;

    // Callbacks of each kind running now, over all bridges.
    static int fdCallbacks;
    static int timerCallbacks;
    static std::vector<Steinberg::IPtr<Vst3RunLoopBridge>>& WaitingList();
};
