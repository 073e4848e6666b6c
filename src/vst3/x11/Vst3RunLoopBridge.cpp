#include "vst3/x11/Vst3RunLoopBridge.h"

#include "gui/HostFdWatcher.h"
#include "gui/HostTimerClient.h"

#include <algorithm>
#include <new>

using namespace Steinberg;
using namespace Steinberg::Linux;

int Vst3RunLoopBridge::fdCallbacks = 0;
int Vst3RunLoopBridge::timerCallbacks = 0;

std::vector<IPtr<Vst3RunLoopBridge>>& Vst3RunLoopBridge::WaitingList()
{
    // Never destroyed, like the X connection: every view call still reads
    // it, also after the static destructors of a host that exits with an
    // editor attached. It is empty whenever no registration waits.
    using List = std::vector<IPtr<Vst3RunLoopBridge>>;
    alignas(List) static unsigned char storage[sizeof(List)];
    static List* list = new (storage) List();
    return *list;
}

Vst3RunLoopBridge::Vst3RunLoopBridge(IRunLoop* loop) : runLoop(loop)
{
}

Vst3RunLoopBridge::~Vst3RunLoopBridge()
{
    // Only reached with nothing waiting (the list holds a reference).
    if (fdRegistered)
        DropWatch();
    if (timerRegistered)
        DropTimer();
}

bool Vst3RunLoopBridge::WatchFd(int fd, HostFdWatcher* w)
{
    if (!runLoop || fd < 0)
        return false;
    if (fdRegistered) {
        if (fdWaiting && fd == watchedFd) {
            // Still registered: the old watch serves again, and its one
            // OnFdReleased is still to come.
            fdWaiting = false;
            watcher = w;
            return false;
        }
        UnwatchFd();
        if (fdRegistered)
            return false;
    }
    if (runLoop->registerEventHandler(this, fd) != kResultOk)
        return false;
    fdRegistered = true;
    watchedFd = fd;
    watcher = w;
    return true;
}

void Vst3RunLoopBridge::UnwatchFd()
{
    if (!fdRegistered || fdWaiting)
        return;
    if (fdCallbacks > 0) {
        fdWaiting = true;
        Wait();
        return;
    }
    DropWatch();
}

bool Vst3RunLoopBridge::StartTimer(int32_t periodMs, HostTimerClient* c)
{
    if (!runLoop)
        return false;
    if (timerRegistered) {
        // Registered still (perhaps waiting to go): it ticks for the new client.
        timerWaiting = false;
        client = c;
        return true;
    }
    if (runLoop->registerTimer(this, static_cast<Linux::TimerInterval>(periodMs > 0 ? periodMs : 1)) != kResultOk)
        return false;
    timerRegistered = true;
    client = c;
    return true;
}

void Vst3RunLoopBridge::StopTimer()
{
    client = nullptr;
    if (!timerRegistered || timerWaiting)
        return;
    if (timerCallbacks > 0) {
        timerWaiting = true;
        Wait();
        return;
    }
    DropTimer();
}

void Vst3RunLoopBridge::DropWatch()
{
    runLoop->unregisterEventHandler(this);
    fdRegistered = false;
    fdWaiting = false;
    HostFdWatcher* w = watcher;
    watcher = nullptr;
    if (w)
        w->OnFdReleased(watchedFd);
    watchedFd = -1;
}

void Vst3RunLoopBridge::DropTimer()
{
    runLoop->unregisterTimer(this);
    timerRegistered = false;
    timerWaiting = false;
}

void Vst3RunLoopBridge::Wait()
{
    std::vector<IPtr<Vst3RunLoopBridge>>& list = WaitingList();
    if (std::find(list.begin(), list.end(), this) == list.end())
        list.push_back(IPtr<Vst3RunLoopBridge>(this));
}

void Vst3RunLoopBridge::DropWaitingRegistrations()
{
    std::vector<IPtr<Vst3RunLoopBridge>>& list = WaitingList();
    if (list.empty())
        return;
    // The host is called from here: work on a copy, and keep the bridges
    // alive until the list is settled.
    const std::vector<IPtr<Vst3RunLoopBridge>> snapshot = list;
    for (const IPtr<Vst3RunLoopBridge>& b : snapshot) {
        if (b->fdWaiting && fdCallbacks == 0)
            b->DropWatch();
        if (b->timerWaiting && timerCallbacks == 0)
            b->DropTimer();
    }
    list.erase(std::remove_if(list.begin(), list.end(), [](const IPtr<Vst3RunLoopBridge>& b) { return !b->Waiting(); }),
               list.end());
    // Settled, it holds no memory: the module may be unloaded next, and the
    // list is never destroyed.
    if (list.empty())
        std::vector<IPtr<Vst3RunLoopBridge>>().swap(list);
}

size_t Vst3RunLoopBridge::WaitingCount()
{
    return WaitingList().size();
}

void PLUGIN_API Vst3RunLoopBridge::onFDIsSet(FileDescriptor fd)
{
    // The client may close the window, and its owner drop this bridge,
    // before the call returns.
    IPtr<Vst3RunLoopBridge> keep(this);
    ++fdCallbacks;
    DropWaitingRegistrations();
    if (watcher && fd == watchedFd)
        watcher->OnFdReadable(fd);
    --fdCallbacks;
}

void PLUGIN_API Vst3RunLoopBridge::onTimer()
{
    IPtr<Vst3RunLoopBridge> keep(this);
    ++timerCallbacks;
    DropWaitingRegistrations();
    if (client)
        client->OnTimerTick();
    --timerCallbacks;
}
