#include "gui/Control.h"

#include "core/ParamRecord.h"
#include "core/PlugCore.h"
#include "gui/Editor.h"

#include <cstdio>

namespace {
// Value entry box for a parameter without display texts, centred on the control.
constexpr int32_t kPromptHalfWidth = 20;
constexpr int32_t kPromptHalfHeight = 8;
}   // namespace

Control::Control(PlugCore* plug_, const Bounds& rect_, int32_t paramIdx_, const BlendStyle& blend_)
    : plug(plug_),
      rect(rect_),
      targetRect(rect_),
      paramIdx(paramIdx_),
      blend(blend_)
{
}

void Control::MouseDown(int32_t /*x*/, int32_t /*y*/, const MouseModifiers& mods)
{
    if (mods.right)
        PromptForValue();
}

void Control::MouseDoubleClick(int32_t /*x*/, int32_t /*y*/, const MouseModifiers& /*mods*/)
{
    const double d = DefaultValue();
    if (d >= 0.0) {
        SetValue(d);
        MarkDirty(true);
    }
}

// The redraw request is raised before the dirty flag in the three value paths
// below: if the editor cleans the control in between, the request keeps it
// dirty for the next tick instead of being lost.
void Control::ReceiveParamValue(double normalized)
{
    if (DefaultValue() < 0.0) {
        // The first value a control receives becomes its double-click default.
        SetValue(normalized);
        SetDefaultValue(normalized);
        return;
    }
    if (normalized != Value()) {
        // What RequestRedraw and MarkDirty(false) do, with both marks in one
        // atomic step: the meter sends a value every sample. Both at once is
        // as safe as the request first: a clean in between sees both or none.
        SetValue(Clamped(normalized));
        drawState.fetch_or(kDirty | kRedrawRequested, std::memory_order_relaxed);
    }
}

void Control::ReceiveParamValues(const double* normalized, int32_t count)
{
    // Each value is taken as if it arrived alone, but only the last is
    // stored: the run comes from the audio thread once per stretch, and a
    // store per value put the store-to-load of the value in every step.
    int32_t i = 0;
    for (; i < count && DefaultValue() < 0.0; ++i) {
        SetValue(normalized[i]);
        SetDefaultValue(normalized[i]);
    }
    if (i == count)
        return;
    bool changed = false;
    double current = Value();
    for (; i < count; ++i) {
        const double v = normalized[i];
        if (v != current) {
            current = Clamped(v);
            changed = true;
        }
    }
    if (changed)
        SetValue(current);
    // After the last store: a clean that ran in between and drew an earlier
    // value leaves the marks set again for the last one.
    if (changed)
        drawState.fetch_or(kDirty | kRedrawRequested, std::memory_order_relaxed);
}

double Control::Clamped(double v) const
{
    if (!(v >= clampLow))   // NaN goes to the low end too
        return clampLow;
    return v > clampHigh ? clampHigh : v;
}

void Control::ApplyUserValue(double normalized)
{
    if (normalized != Value()) {
        SetValue(normalized);
        RequestRedraw();
        MarkDirty(true);
    }
}

void Control::ReceiveAuxParamValue(int32_t auxIdx, double normalized, int32_t /*count*/)
{
    if (auxIdx < 0 || auxIdx >= AuxParamCount())
        return;
    AuxParamLink& link = auxParams[static_cast<size_t>(auxIdx)];
    if (link.value.load(std::memory_order_relaxed) != normalized) {
        link.value.store(normalized, std::memory_order_relaxed);
        RequestRedraw();
        MarkDirty(false);
    }
}

void Control::SetHidden(bool hide)
{
    hidden = hide;
    RequestRedraw();
    MarkDirty(false);
}

void Control::SetGrayed(bool gray)
{
    grayed = gray;
    blend.weight = gray ? 0.25f : 1.0f;
    MarkDirty(false);
}

bool Control::HitTest(int32_t x, int32_t y) const
{
    return !targetRect.IsEmpty() && targetRect.Contains(x, y);
}

void Control::MarkDirty(bool pushToPlug)
{
    const double v = Clamped(Value());
    SetValue(v);
    drawState.fetch_or(kDirty, std::memory_order_relaxed);

    if (!pushToPlug || !plug || paramIdx < 0)
        return;
    plug->SetParameterFromEditor(paramIdx, v);

    const ParamRecord* param = plug->ParamAt(paramIdx);
    if (!param)
        return;
    if (valueDisplay) {
        char formatted[ParamRecord::kTextSize];
        param->FormatValue(formatted, sizeof formatted);
        char text[2 * ParamRecord::kTextSize + 2];
        std::snprintf(text, sizeof text, "%s %s", formatted, param->UnitLabel());
        valueDisplay->ReceiveEnteredText(text);
    }
    if (nameDisplay)
        nameDisplay->ReceiveEnteredText(param->Name());
}

void Control::MarkClean()
{
    uint32_t state = drawState.load(std::memory_order_relaxed);
    uint32_t next;
    do {
        next = (state & kRedrawRequested) ? kDirty : 0u;
    } while (!drawState.compare_exchange_weak(state, next, std::memory_order_relaxed));
}

bool Control::NeedsRedraw() const
{
    return (drawState.load(std::memory_order_relaxed) & kDirty) != 0;
}

bool Control::IsRedrawRequested() const
{
    return (drawState.load(std::memory_order_relaxed) & kRedrawRequested) != 0;
}

void Control::RequestRedraw()
{
    drawState.fetch_or(kRedrawRequested, std::memory_order_relaxed);
}

const AuxParamLink* Control::AuxParamAt(int32_t k) const
{
    if (k < 0 || k >= AuxParamCount())
        return nullptr;
    return &auxParams[static_cast<size_t>(k)];
}

void Control::PromptForValue()
{
    if (paramIdx < 0 || promptDisabled || !plug || !editor)
        return;
    ParamRecord* param = plug->ParamAt(paramIdx);
    if (!param)
        return;

    Bounds area = rect;
    if (param->DisplayTextCount() == 0) {
        const int32_t cx = static_cast<int32_t>((static_cast<double>(rect.left) + rect.right) * 0.5);
        const int32_t cy = static_cast<int32_t>((static_cast<double>(rect.top) + rect.bottom) * 0.5);
        area = Bounds(cx - kPromptHalfWidth, cy - kPromptHalfHeight, cx + kPromptHalfWidth, cy + kPromptHalfHeight);
    }
    editor->PromptControlValue(this, param, area);
    RequestRedraw();
}
