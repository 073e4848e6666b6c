#include "X11TestHost.h"

#include "WindowContents.h"

#include <poll.h>

#include <algorithm>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Linux;

X11TestHost::X11TestHost(bool offers) : offersRunLoop(offers)
{
    display = XOpenDisplay(nullptr);
    if (!display)
        return;
    const int screen = DefaultScreen(display);
    XSetWindowAttributes a;
    a.background_pixel = BlackPixel(display, screen);
    a.event_mask = StructureNotifyMask;
    a.override_redirect = True;
    parent =
        XCreateWindow(display, RootWindow(display, screen), 0, 0, kWidth + kMarginX, kHeight + kMarginY, 0,
                      CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask | CWOverrideRedirect, &a);
    XMapRaised(display, parent);
    XEvent e;
    XWindowEvent(display, parent, StructureNotifyMask, &e);
    while (e.type != MapNotify)
        XWindowEvent(display, parent, StructureNotifyMask, &e);
    XSync(display, False);
}

X11TestHost::~X11TestHost()
{
    if (!display)
        return;
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
}

Window X11TestHost::MakeWindow(int width, int height)
{
    XSetWindowAttributes a;
    a.background_pixel = WhitePixel(display, DefaultScreen(display));
    const Window w = XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                   0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixel, &a);
    XMapRaised(display, w);
    XSync(display, False);
    return w;
}

// ---- the loop ----

void X11TestHost::CallReady(int waitMs)
{
    std::vector<pollfd> fds;
    for (const Handler& h : handlers)
        fds.push_back({h.fd, POLLIN, 0});
    if (fds.empty()) {
        if (waitMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
        return;
    }
    if (poll(fds.data(), fds.size(), waitMs) <= 0)
        return;
    // A copy, as a careful host iterates; what was dropped meanwhile is
    // skipped.
    const std::vector<Handler> ready = handlers;
    ++inHandlerCallback;
    for (size_t i = 0; i < ready.size(); ++i) {
        if (!(fds[i].revents & POLLIN))
            continue;
        const bool still = std::any_of(handlers.begin(), handlers.end(),
                                       [&](const Handler& h) { return h.handler == ready[i].handler; });
        if (still)
            ready[i].handler->onFDIsSet(ready[i].fd);
    }
    --inHandlerCallback;
}

void X11TestHost::FireDue()
{
    const Clock::time_point now = Clock::now();
    const std::vector<Timer> due = timers;
    ++inTimerCallback;
    for (const Timer& t : due) {
        if (t.due > now)
            continue;
        auto it = std::find_if(timers.begin(), timers.end(), [&](const Timer& x) { return x.handler == t.handler; });
        if (it == timers.end())
            continue;
        it->due = now + it->interval;
        t.handler->onTimer();
    }
    --inTimerCallback;
}

void X11TestHost::Run(int ms)
{
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    do {
        XSync(display, False);
        Clock::time_point next = end;
        for (const Timer& t : timers)
            next = std::min(next, t.due);
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
        CallReady(static_cast<int>(std::max<int64_t>(0, wait)));
        FireDue();
    } while (Clock::now() < end);
}

bool X11TestHost::RunUntil(const std::function<bool()>& done, int ms)
{
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (Clock::now() >= end)
            return false;
        Run(5);
    }
    return true;
}

void X11TestHost::Tick()
{
    const std::vector<Timer> all = timers;
    ++inTimerCallback;
    for (const Timer& t : all)
        t.handler->onTimer();
    --inTimerCallback;
}

void X11TestHost::DispatchReady()
{
    XSync(display, False);
    CallReady(0);
}

// ---- IRunLoop ----

tresult PLUGIN_API X11TestHost::registerEventHandler(IEventHandler* handler, FileDescriptor fd)
{
    if (!handler)
        return kInvalidArgument;
    if (std::any_of(handlers.begin(), handlers.end(), [&](const Handler& h) { return h.handler == handler; }))
        ++duplicateRegistrations;
    handler->addRef();
    handlers.push_back({handler, fd});
    ++handlerRegistrations;
    return kResultOk;
}

tresult PLUGIN_API X11TestHost::unregisterEventHandler(IEventHandler* handler)
{
    auto it = std::find_if(handlers.begin(), handlers.end(), [&](const Handler& h) { return h.handler == handler; });
    if (it == handlers.end())
        return kResultFalse;
    if (inHandlerCallback > 0)
        ++lateUnregistrations;
    handlers.erase(it);
    ++handlerUnregistrations;
    handler->release();
    return kResultOk;
}

tresult PLUGIN_API X11TestHost::registerTimer(ITimerHandler* handler, TimerInterval milliseconds)
{
    if (!handler)
        return kInvalidArgument;
    if (std::any_of(timers.begin(), timers.end(), [&](const Timer& t) { return t.handler == handler; }))
        ++duplicateRegistrations;
    handler->addRef();
    const std::chrono::milliseconds interval(static_cast<int64_t>(milliseconds));
    timers.push_back({handler, interval, Clock::now() + interval});
    lastTimerInterval = interval;
    ++timerRegistrations;
    return kResultOk;
}

tresult PLUGIN_API X11TestHost::unregisterTimer(ITimerHandler* handler)
{
    auto it = std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.handler == handler; });
    if (it == timers.end())
        return kResultFalse;
    if (inTimerCallback > 0)
        ++lateUnregistrations;
    timers.erase(it);
    ++timerUnregistrations;
    handler->release();
    return kResultOk;
}

// ---- IPlugFrame ----

tresult PLUGIN_API X11TestHost::resizeView(IPlugView* view, ViewRect* newSize)
{
    resizes.push_back({view, newSize ? *newSize : ViewRect()});
    if (!newSize || !view)
        return kInvalidArgument;
    // As hosts do: the window around the view takes the new size, then the
    // view hears of it.
    const int w = newSize->right - newSize->left;
    const int h = newSize->bottom - newSize->top;
    if (display && w > 0 && h > 0) {
        XResizeWindow(display, parent, static_cast<unsigned>(w + kMarginX), static_cast<unsigned>(h + kMarginY));
        XSync(display, False);
    }
    view->onSize(newSize);
    return kResultOk;
}

tresult PLUGIN_API X11TestHost::queryInterface(const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, IPlugFrame::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
        addRef();
        *obj = static_cast<IPlugFrame*>(this);
        return kResultOk;
    }
    if (offersRunLoop && FUnknownPrivate::iidEqual(iid, IRunLoop::iid)) {
        addRef();
        *obj = static_cast<IRunLoop*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

// ---- what the server shows ----

std::vector<Window> X11TestHost::ChildrenOf(Window w) const
{
    return ChildWindows(display, w);
}

std::vector<uint32_t> X11TestHost::Picture(Window w, int x, int y, int width, int height) const
{
    XSync(display, False);
    return WindowPixels(display, w, x, y, width, height);
}
