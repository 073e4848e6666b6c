#pragma once

#include "gui/AuxParamLink.h"
#include "gui/BlendStyle.h"
#include "gui/Bounds.h"
#include "gui/KeyCode.h"
#include "gui/MouseModifiers.h"
#include "gui/TextStyle.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class Editor;
class PlugCore;

// One rectangular element of the editor. It holds a normalised value, may be
// bound to one plug parameter, draws itself and reacts to mouse gestures.
//
// Threads: everything runs on the editor thread except ReceiveParamValue and
// ReceiveAuxParamValue, which the plug also calls while processing. Those only
// store values and flags, so the value, the default and the redraw flags are
// relaxed atomics.
class Control {
public:
    static constexpr int32_t kDefaultTextEntryLength = 32;

    Control(PlugCore* plug, const Bounds& rect, int32_t paramIdx, const BlendStyle& blend);
    virtual ~Control() = default;

    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    virtual void MouseDown(int32_t x, int32_t y, const MouseModifiers& mods);
    virtual void MouseUp(int32_t /*x*/, int32_t /*y*/, const MouseModifiers& /*mods*/) {}
    virtual void MouseDrag(int32_t /*x*/, int32_t /*y*/, int32_t /*dX*/, int32_t /*dY*/, const MouseModifiers& /*mods*/)
    {
    }
    virtual void MouseDoubleClick(int32_t x, int32_t y, const MouseModifiers& mods);
    virtual void MouseWheel(int32_t /*x*/, int32_t /*y*/, const MouseModifiers& /*mods*/, int32_t /*steps*/) {}
    virtual bool KeyDown(int32_t /*x*/, int32_t /*y*/, KeyCode /*key*/) { return false; }
    virtual void MouseOver(int32_t /*x*/, int32_t /*y*/, const MouseModifiers& /*mods*/) {}
    virtual void MouseOut() {}
    virtual bool Draw(Editor& editor) = 0;
    virtual void ReceiveParamValue(double normalized);
    // ReceiveParamValue for each value in order, with the redraw marks set
    // once at the end (an atomic read-modify-write per value is most of the
    // cost of a meter fed every sample).
    virtual void ReceiveParamValues(const double* normalized, int32_t count);
    virtual void ApplyUserValue(double normalized);
    // Also how a linked value or name display receives its text.
    virtual void ReceiveEnteredText(const char* /*text*/) {}
    virtual void SetHidden(bool hide);
    virtual void SetGrayed(bool gray);
    virtual bool HitTest(int32_t x, int32_t y) const;
    virtual void MarkDirty(bool pushToPlug);
    virtual void MarkClean();
    virtual bool NeedsRedraw() const;
    virtual void ReceiveAuxParamValue(int32_t auxIdx, double normalized, int32_t count);

    // Opens the menu or text entry for the bound parameter, when allowed.
    void PromptForValue();

    // The editor that owns the control; set when it is added.
    Editor* GetEditor() const { return editor; }
    void SetEditor(Editor* owner) { editor = owner; }

    PlugCore* Plug() const { return plug; }
    const Bounds& Rect() const { return rect; }
    const Bounds& TargetRect() const { return targetRect; }
    void SetTargetRect(const Bounds& r) { targetRect = r; }
    int32_t ParamIdx() const { return paramIdx; }

    double Value() const { return value.load(std::memory_order_relaxed); }
    void SetValue(double v) { value.store(v, std::memory_order_relaxed); }
    double DefaultValue() const { return defaultValue.load(std::memory_order_relaxed); }
    void SetDefaultValue(double v) { defaultValue.store(v, std::memory_order_relaxed); }
    double ClampLow() const { return clampLow; }
    double ClampHigh() const { return clampHigh; }
    void SetClamp(double lo, double hi)
    {
        clampLow = lo;
        clampHigh = hi;
    }

    const BlendStyle& Blend() const { return blend; }
    TextStyle& GetTextStyle() { return textStyle; }
    const TextStyle& GetTextStyle() const { return textStyle; }
    int32_t TextEntryLength() const { return textEntryLength; }
    void SetTextEntryLength(int32_t n) { textEntryLength = n; }
    const char* Tooltip() const { return tooltip.c_str(); }
    void SetTooltip(const char* text) { tooltip = text ? text : ""; }

    void AddAuxParam(int32_t idx) { auxParams.emplace_back(idx); }
    int32_t AuxParamCount() const { return static_cast<int32_t>(auxParams.size()); }
    const AuxParamLink* AuxParamAt(int32_t k) const;

    void SetValueDisplay(Control* c) { valueDisplay = c; }
    void SetNameDisplay(Control* c) { nameDisplay = c; }

    bool IsHidden() const { return hidden; }
    bool IsGrayed() const { return grayed; }
    bool IsRedrawRequested() const;
    void RequestRedraw();
    // v within [ClampLow, ClampHigh]; NaN gives ClampLow.
    double Clamped(double v) const;
    bool PromptDisabled() const { return promptDisabled; }
    void SetPromptDisabled(bool off) { promptDisabled = off; }
    bool DoubleClickActsAsClick() const { return doubleClickAsClick; }
    void SetDoubleClickActsAsClick(bool on) { doubleClickAsClick = on; }
    bool MouseOverWhenGrayed() const { return mouseOverWhenGrayed; }
    void SetMouseOverWhenGrayed(bool on) { mouseOverWhenGrayed = on; }

private:
    // Dirty and redraw-requested share one word so that MarkClean's
    // "dirty := redraw requested" cannot lose a flag set by another thread.
    static constexpr uint32_t kDirty = 1;
    static constexpr uint32_t kRedrawRequested = 2;

    int32_t textEntryLength = kDefaultTextEntryLength;
    TextStyle textStyle;
    PlugCore* plug;
    Editor* editor = nullptr;
    Bounds rect;
    Bounds targetRect;
    int32_t paramIdx;
    std::vector<AuxParamLink> auxParams;
    std::atomic<double> value{0.0};
    std::atomic<double> defaultValue{-1.0};
    double clampLow = 0.0;
    double clampHigh = 1.0;
    std::atomic<uint32_t> drawState{kDirty};
    bool hidden = false;
    bool grayed = false;
    bool promptDisabled = true;
    bool doubleClickAsClick = false;
    bool mouseOverWhenGrayed = false;
    BlendStyle blend;
    Control* valueDisplay = nullptr;
    Control* nameDisplay = nullptr;
    std::string tooltip;
};
