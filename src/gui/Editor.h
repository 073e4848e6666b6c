#pragma once

#include "core/EditorLink.h"
#include "gui/BitmapStrip.h"
#include "gui/Bounds.h"
#include "gui/Control.h"
#include "gui/DisplayScale.h"
#include "gui/KeyCode.h"
#include "gui/MouseModifiers.h"
#include "gui/PopupMenu.h"
#include "gui/TextStyle.h"

#include <cstdint>
#include <memory>
#include <vector>

class HostEventLoop;
class ParamRecord;
class PIX_IBitmap;
class PIX_MemBitmap;
class PIX_SysBitmap;
class PlugCore;

// The platform-independent editor: it owns the controls and the drawing
// surface, redraws what is dirty, routes mouse input to controls and ties
// them to the plug's parameters.
//
// A window subclass translates its events into the Handle* calls, calls
// CollectDirty on its timer and Render on paint, and copies the drawing
// surface to the screen in PresentRect. Every window-host hook has a default
// that serves an editor without a window: nothing is presented, menus are
// dismissed and text entry never opens.
//
// Threads: everything runs on the editor thread except PushParamToControls
// and ReceiveControlValue(s), which the plug calls while processing with its
// mutex held. Those only store values and flags in controls.
class Editor : public EditorLink {
public:
    Editor(PlugCore* plug, int32_t width, int32_t height, int32_t frameRate);
    ~Editor() override;

    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // Window host hooks.
    virtual bool PresentRect(const Bounds& rect);
    virtual bool MeasureText(TextStyle& style, const char* text, Bounds& rect);
    virtual void CancelTextEntry() {}
    virtual void SetEditorSize(int32_t width, int32_t height);
    virtual bool IsWindowOpen() const { return WindowHandle() != nullptr; }
    virtual const char* BackendName() const { return ""; }
    // Shows `menu` below `area`; returns the menu (or submenu) whose item was
    // chosen, with its chosen index set, or none when dismissed.
    virtual PopupMenu* TrackMenu(PopupMenu& menu, const Bounds& area);
    // Opens a text box over `area`; the host applies the committed text to
    // `control` (through `param` when given).
    virtual void OpenTextEntry(Control* control, const TextStyle& style, const Bounds& area, const char* initialText,
                               ParamRecord* param);
    virtual void* CreateEditorWindow(void* parent);
    virtual void DestroyEditorWindow() {}
    virtual void* WindowHandle() const { return nullptr; }
    virtual void HideCursorForDrag() {}
    virtual void RestoreCursorAfterDrag() {}
    // A new bitmap decoded from the resource, owned by the caller, or none.
    // The default reads the images built into the library.
    virtual PIX_IBitmap* LoadResourceImage(int32_t id, const char* fileName);

    // The host's event loop, for a window that runs on it rather than on
    // messages of its own. Such a window takes the loop set before
    // CreateEditorWindow (not owned; none to be pumped) and keeps it while
    // open; Pump runs its pending work in a host without a loop. Windows of
    // other platforms take none, and Pump has nothing to do.
    virtual bool TakesHostEventLoop() const { return false; }
    virtual void SetHostEventLoop(HostEventLoop* /*loop*/) {}
    // The loop the open window was given.
    virtual const HostEventLoop* ActiveLoop() const { return nullptr; }
    virtual void Pump() {}

    // EditorLink: the plug side.
    void PushParamToControls(int32_t paramIdx, double value, bool normalized) override;
    void PrepareSurfaces() override;
    int32_t ControlCount() const override { return static_cast<int32_t>(controls.size()); }
    void ReceiveControlValue(int32_t controlIdx, double normalized) override;
    void ReceiveControlValues(int32_t controlIdx, const double* normalized, int32_t count) override;

    // Building. The editor takes ownership of added controls.
    int32_t AddControl(Control* control);
    void AddBackground(int32_t id, const char* fileName);
    BitmapStrip LoadStrip(int32_t id, const char* fileName, int32_t frames);
    Control* GetControl(int32_t idx) const;
    // Receives keys no control under the mouse takes; owned.
    void SetKeyCatcher(Control* control);
    Control* KeyCatcher() const { return keyCatcher.get(); }

    // The double-density strips are resources this far above their 1x ones.
    static constexpr int32_t kDoubleDensityIdOffset = 2000;

    // Display scale: the layout stays in logical pixels, the drawing surface
    // and the window take the scale's device pixels. A change rebuilds the
    // surface, redraws everything and asks the plug for the new device size;
    // false when the scale stays.
    virtual bool SetDisplayScale(DisplayScale scale);
    // The host's scale (VST 3 content scale): once given, it outranks the
    // system's for the rest of the editor's life.
    bool SetHostDisplayScale(DisplayScale scale);
    // The scale the system reports for the screen the window is on; ignored
    // once the host has given one.
    bool SetSystemDisplayScale(DisplayScale scale);
    bool HostGaveScale() const { return hostGaveScale; }
    const DisplayScale& Scale() const { return scale; }
    int32_t DeviceWidth() const { return scale.DeviceLength(width); }
    int32_t DeviceHeight() const { return scale.DeviceLength(height); }

    // Drawing. Render takes a logical rect; the draw rect is in device pixels.
    bool Render(const Bounds& rect);
    bool CollectDirty(Bounds& out) const;
    void MarkAllControlsDirty();
    bool BlitStrip(const BitmapStrip& strip, const Bounds& dest, int32_t srcX, int32_t srcY, const BlendStyle* blend);
    bool DrawTextInRect(TextStyle& style, const char* text, Bounds& rect, bool measure);
    PIX_CachedFont* FontFor(TextStyle& style);

    // Input, in editor pixels.
    int32_t ControlAt(int32_t x, int32_t y, bool forMouseOver) const;
    void HandleMouseDown(int32_t x, int32_t y, const MouseModifiers& mods);
    void HandleMouseDrag(int32_t x, int32_t y, const MouseModifiers& mods);
    void HandleMouseUp(int32_t x, int32_t y, const MouseModifiers& mods);
    // True when the control took the double click as a mouse down and now
    // holds the mouse: the window captures it.
    bool HandleMouseDoubleClick(int32_t x, int32_t y, const MouseModifiers& mods);
    bool HandleMouseWheel(int32_t x, int32_t y, const MouseModifiers& mods, int32_t notches);
    bool HandleMouseOver(int32_t x, int32_t y, const MouseModifiers& mods);
    void HandleMouseOut();
    bool HandleKeyDown(int32_t x, int32_t y, KeyCode key);

    // Menu or text entry for a control's parameter, from PromptForValue.
    void PromptControlValue(Control* control, ParamRecord* param, const Bounds& area);

    // Edits the host hears of. Every change made here reaches the plug
    // between BeginParamEdit and EndParamEdit of its parameter, one edit open
    // at a time: a press until its release, a burst of wheel notches until
    // the wheel rests for kWheelIdleMs of timer ticks, anything else (a
    // double click, a menu choice, typed text) on its own. A new gesture ends
    // the open edit first.
    static constexpr int32_t kWheelIdleMs = 250;
    // One redraw timer tick: ends a wheel edit that has rested long enough.
    void TickGestures();
    // Ends the open edit, if any.
    void EndGesture();
    // A value is about to change outside any press or wheel: opens an edit
    // for paramIdx unless one is open for it. True when it opened one, which
    // the caller then ends.
    bool BeginSingleEdit(int32_t paramIdx);
    int32_t GestureParam() const { return gestureParam; }

    PlugCore* Plug() const { return plug; }
    int32_t Width() const { return width; }
    int32_t Height() const { return height; }
    int32_t FrameRate() const { return frameRate; }
    const Bounds& DrawRect() const { return drawRect; }
    PIX_SysBitmap* DrawingSurface() const { return surface.get(); }
    PIX_MemBitmap* ScratchSurface() const { return scratch.get(); }

    int32_t MouseCapture() const { return mouseCapture; }
    int32_t MouseOverIndex() const { return mouseOver; }
    int32_t LastMouseX() const { return lastMouseX; }
    int32_t LastMouseY() const { return lastMouseY; }
    void ReleaseMouseCapture();
    bool HandlesMouseOver() const { return handleMouseOver; }
    void SetHandleMouseOver(bool on) { handleMouseOver = on; }
    bool TooltipsEnabled() const { return tooltipsEnabled; }
    void SetTooltipsEnabled(bool on) { tooltipsEnabled = on; }

protected:
    bool IsCursorHidden() const { return cursorHidden; }
    void SetCursorHidden(bool hidden) { cursorHidden = hidden; }
    int32_t SavedCursorX() const { return savedCursorX; }
    int32_t SavedCursorY() const { return savedCursorY; }
    void SetSavedCursorPosition(int32_t x, int32_t y)
    {
        savedCursorX = x;
        savedCursorY = y;
    }

private:
    enum class GestureKind : uint8_t { kNone, kPress, kWheel, kSingle };

    void DeleteControls();
    // The strip as the current scale draws it: its bitmap replaced by the
    // cached one of this density, made on first use.
    BitmapStrip ScaledStrip(const BitmapStrip& strip);
    PIX_IBitmap* MakeScaledBitmap(const BitmapStrip& strip);
    // Text in surface pixels.
    bool DrawTextOnSurface(TextStyle& style, const char* text, Bounds& rect, bool measure);
    bool Composite(PIX_IBitmap* bitmap, const Bounds& dest, int32_t srcX, int32_t srcY, const BlendStyle* blend);
    bool BeginGesture(int32_t paramIdx, GestureKind kind);
    // Timer ticks a wheel edit may rest before it ends.
    int32_t WheelIdleTicks() const;

    std::vector<std::unique_ptr<Control>> controls;
    PlugCore* plug;
    Bounds drawRect;
    bool cursorHidden = false;
    int32_t savedCursorX = -1;
    int32_t savedCursorY = -1;
    std::unique_ptr<PIX_SysBitmap> surface;
    std::unique_ptr<PIX_MemBitmap> scratch;
    int32_t width;
    int32_t height;
    int32_t frameRate;
    int32_t mouseCapture = -1;
    int32_t mouseOver = -1;
    int32_t lastMouseX = 0;
    int32_t lastMouseY = 0;
    bool handleMouseOver = false;
    bool tooltipsEnabled = false;
    std::unique_ptr<Control> keyCatcher;
    DisplayScale scale;
    bool hostGaveScale = false;
    // Scaled strips of bitmaps with no resource id, which the process-wide
    // cache cannot key: per editor and scale.
    struct OwnScaled {
        const PIX_IBitmap* source;
        int32_t quarters;
        std::unique_ptr<PIX_IBitmap> bitmap;
    };
    std::vector<OwnScaled> ownScaled;
    int32_t gestureParam = -1;
    GestureKind gestureKind = GestureKind::kNone;
    int32_t wheelRestTicks = 0;
};
