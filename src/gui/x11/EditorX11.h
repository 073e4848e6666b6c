#pragma once

#include "gui/WindowHost.h"
#include "gui/WindowPlatform.h"
#include "gui/x11/DoubleClickDetector.h"
#include "gui/HostTimerClient.h"
#include "gui/x11/X11EventSink.h"
#include "gui/x11/X11Presenter.h"
#include "gui/x11/XEmbedClient.h"

#include "gui/x11/XlibHeaders.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

class HostEventLoop;
class X11Connection;
class X11TextEntry;

// The editor in a Linux host: an Xlib child window of the host's window,
// run on the host's user-interface thread with no thread of its own.
//
// Its timer and the readiness of the X connection come from the host's event
// loop, handed over before the window opens. A host without an event loop
// still gets a drawn editor: the picture is the window's background pixmap,
// which the server repaints by itself, the first picture is drawn as the
// window opens, and Pump (called whenever the host calls the plug-in on its
// user-interface thread) reads the window's events and runs the timer's work
// when a period has passed.
//
// Keys: the window does not take the keyboard focus, so the host keeps its
// shortcuts; key presses reach the editor while the pointer is over it, and
// those no control takes are sent on to the host's window as if the editor
// had never selected them. Key releases are not selected and go to the host
// directly.
class EditorX11 : public WindowHost, public WindowPlatform, public X11EventSink, public HostTimerClient {
public:
    EditorX11(PlugCore* plug, int32_t width, int32_t height, int32_t frameRate);
    ~EditorX11() override;

    // The host's loop for the next window, not owned; none to be pumped.
    bool TakesHostEventLoop() const override { return true; }
    void SetHostEventLoop(HostEventLoop* loop) override { nextLoop = loop; }
    // Opens the window and draws its first picture at once.
    void* CreateEditorWindow(void* parent) override;
    // For hosts without an event loop; does nothing when a loop drives the
    // window or when called off the window's thread.
    void Pump() override;
    bool DrivenByHostLoop() const { return activeLoop != nullptr && timerRunning; }
    // The loop the open window was given.
    const HostEventLoop* ActiveLoop() const override { return activeLoop; }
    bool WindowAlive() const { return window != 0 && windowAlive; }
    Window NativeWindow() const { return window; }
    bool UsesSharedMemory() const { return presenter.UsesSharedMemory(); }
    // What an XEmbed embedder has told the window (nothing in other hosts).
    const XEmbedClient& Embedding() const { return embedding; }
    // The window the editor's window is a child of now.
    Window ParentWindow() const { return parent; }

    // WindowPlatform
    void* OpenWindow(void* parent, const Bounds& placement, int32_t timerPeriodMs) override;
    void CloseWindow() override;
    bool WindowPlacement(Bounds& placement) const override;
    void ResizeWindowBy(int32_t dw, int32_t dh, bool growParents) override;
    const char* BackendName() const override { return "X11"; }
    void Invalidate(const Bounds& rect) override;
    void Validate(const Bounds& rect) override;
    void UpdateNow() override;
    bool Present(const PIX_SysBitmap& surface, const Bounds& rect) override;
    void FocusWindow() override;
    void CaptureMouse() override { holdsMouse = true; }
    void ReleaseMouse() override { holdsMouse = false; }
    bool HoldsMouse() const override { return holdsMouse; }
    bool CursorPosition(int32_t& x, int32_t& y) const override;
    void TrackMouseLeave(bool hover) override;
    bool CursorScreenPosition(int32_t& x, int32_t& y) const override;
    void SetCursorScreenPosition(int32_t x, int32_t y) override;
    void ShowCursor(bool show) override;
    bool CreateTextEntry(const TextStyle& style, const Bounds& area, const char* text, int32_t maxLength) override;
    void TextEntryText(char* out, size_t size) const override;
    void DestroyTextEntry() override;
    int32_t TrackNativeMenu(const MenuNumbering& menu, int32_t x, int32_t y) override;

    // X11EventSink
    void HandleEvent(XEvent& event) override;
    // HostTimerClient
    void OnTimerTick() override;

    // The text entry box while one is open.
    const X11TextEntry* TextEntryBox() const { return textEntry.get(); }

private:
    bool QueryPointer(int& rootX, int& rootY, int& winX, int& winY, bool& sameScreen) const;
    using Clock = std::chrono::steady_clock;

    static MouseModifiers ModifiersOf(unsigned int state);
    void OnButtonPress(const XButtonEvent& e);
    void OnButtonRelease(const XButtonEvent& e);
    void OnKeyPress(XKeyEvent& e);
    void ForwardKey(XKeyEvent& e);
    void Tick();
    void ClearPending();

    X11Connection& connection;
    Display* display = nullptr;
    Window parent = 0;
    Window window = 0;
    bool windowAlive = false;
    Bounds placement;
    X11Presenter presenter;
    XEmbedClient embedding;
    Region pending = nullptr;
    HostEventLoop* nextLoop = nullptr;
    HostEventLoop* activeLoop = nullptr;
    bool timerRunning = false;
    int32_t periodMs = 40;
    Clock::time_point lastTick;
    std::thread::id windowThread;
    bool holdsMouse = false;
    bool leaveTracked = false;
    bool pointerHidden = false;
    DoubleClickDetector clicks;
    std::unique_ptr<X11TextEntry> textEntry;
};
