#pragma once

#include <cstdint>

class HostFdWatcher;
class HostTimerClient;

// What a host offers a plug-in window in place of a global event loop (Linux
// hosts do; elsewhere windows run on their own messages): a watch on a file
// descriptor and one repeating timer, both called on the host's
// user-interface thread. The plug-in adaptor implements it over its host's
// interface.
//
// Stopping takes effect at once for the timer client: no tick reaches it
// afterwards. The host-side registrations may go later, when it is safe to
// drop them; until then the fd watcher may still be called, and it hears
// OnFdReleased once the watch is really gone. The watcher must therefore
// outlive the loop's registrations.
class HostEventLoop {
public:
    // True when a new watch began: the watcher then hears OnFdReleased once
    // it ends. False when the host refused, or when a watch on the same
    // descriptor that was still waiting to go simply carries on.
    virtual bool WatchFd(int fd, HostFdWatcher* watcher) = 0;
    virtual void UnwatchFd() = 0;
    // False when the host refused the timer.
    virtual bool StartTimer(int32_t periodMs, HostTimerClient* client) = 0;
    virtual void StopTimer() = 0;

protected:
    ~HostEventLoop() = default;
};
