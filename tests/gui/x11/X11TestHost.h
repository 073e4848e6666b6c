#pragma once

#include "TestXlib.h"

#include "pluginterfaces/gui/iplugview.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

// A Linux host as far as an editor view sees one: its own X connection and
// a window of its own to embed the view in, an IPlugFrame, and the IRunLoop
// (offered or not) that calls the plug-in's descriptor handlers and timers
// from the host's loop. It counts every registration, and notes the ones
// dropped from inside a callback of their own kind, which crash real hosts.
class X11TestHost : public Steinberg::IPlugFrame, public Steinberg::Linux::IRunLoop {
public:
    static constexpr int kWidth = 1001;
    static constexpr int kHeight = 270;
    // The host's window is this much larger than the view in it.
    static constexpr int kMarginX = 40;
    static constexpr int kMarginY = 30;

    explicit X11TestHost(bool offersRunLoop = true);
    virtual ~X11TestHost();
    X11TestHost(const X11TestHost&) = delete;
    X11TestHost& operator=(const X11TestHost&) = delete;

    bool Ok() const { return display != nullptr && parent != 0; }
    Display* GetDisplay() const { return display; }
    Window Parent() const { return parent; }
    void* ParentHandle() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(parent)); }
    // A further window of the host, inside the main one, mapped.
    Window MakeWindow(int width, int height);

    // The host's loop for `ms` milliseconds: readable descriptors' handlers
    // and due timers are called.
    void Run(int ms);
    // Runs until `done` holds or `ms` pass; whether it held.
    bool RunUntil(const std::function<bool()>& done, int ms);
    // Every timer once, now.
    void Tick();
    // The handlers whose descriptors are readable now.
    void DispatchReady();

    size_t Timers() const { return timers.size(); }
    size_t Handlers() const { return handlers.size(); }
    int timerRegistrations = 0;
    int timerUnregistrations = 0;
    int handlerRegistrations = 0;
    int handlerUnregistrations = 0;
    int lateUnregistrations = 0;   // dropped from inside a callback of its kind
    int duplicateRegistrations = 0;
    std::chrono::milliseconds lastTimerInterval{0};

    std::vector<Window> ChildrenOf(Window w) const;
    // The server's pixels of `w` inside the rectangle, 0xRRGGBB each.
    std::vector<uint32_t> Picture(Window w, int x, int y, int width, int height) const;

    struct Resize {
        Steinberg::IPlugView* view;
        Steinberg::ViewRect rect;
    };
    // Every request, in order; the host's window follows each and tells
    // the view with onSize.
    std::vector<Resize> resizes;

    // IPlugFrame
    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) SMTG_OVERRIDE;
    // IRunLoop
    Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                       Steinberg::Linux::FileDescriptor fd) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                                Steinberg::Linux::TimerInterval milliseconds) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) SMTG_OVERRIDE;
    // FUnknown: the frame, and the run loop when offered.
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return ++refCount; }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return --refCount; }

private:
    using Clock = std::chrono::steady_clock;

    struct Handler {
        Steinberg::Linux::IEventHandler* handler;
        int fd;
    };
    struct Timer {
        Steinberg::Linux::ITimerHandler* handler;
        std::chrono::milliseconds interval;
        Clock::time_point due;
    };

    void CallReady(int waitMs);
    void FireDue();

    Display* display = nullptr;
    Window parent = 0;
    bool offersRunLoop;
    std::vector<Handler> handlers;
    std::vector<Timer> timers;
    int inHandlerCallback = 0;
    int inTimerCallback = 0;
    std::atomic<Steinberg::uint32> refCount{1};
};
