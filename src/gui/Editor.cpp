#include "gui/Editor.h"

#include "core/FixedText.h"
#include "core/ParamRecord.h"
#include "core/PlugCore.h"
#include "gui/BitmapCache.h"
#include "gui/BitmapControl.h"
#include "gui/BuiltInImage.h"
#include "gui/FontCache.h"
#include "pix/PIX_CachedFont.h"
#include "pix/PIX_Composite.h"
#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_Mode.h"
#include "pix/PIX_Resample.h"
#include "pix/PIX_SysBitmap.h"

#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

// The plug API whose host shows its own context menu on a right click.
constexpr int32_t kApiVst3 = 1;

// The name only picks the PNG loader; resources are found by id.
constexpr const char* kDoubleDensityName = "2x.png";

}   // namespace

Editor::Editor(PlugCore* plug_, int32_t width_, int32_t height_, int32_t frameRate_)
    : plug(plug_),
      width(width_),
      height(height_),
      frameRate(frameRate_)
{
}

Editor::~Editor()
{
    keyCatcher.reset();
    DeleteControls();
    surface.reset();
    scratch.reset();
}

void Editor::DeleteControls()
{
    // Last first, the reverse of creation.
    while (!controls.empty())
        controls.pop_back();
}

bool Editor::PresentRect(const Bounds& /*rect*/)
{
    return true;
}

bool Editor::MeasureText(TextStyle& style, const char* text, Bounds& rect)
{
    return DrawTextInRect(style, text, rect, true);
}

PopupMenu* Editor::TrackMenu(PopupMenu& /*menu*/, const Bounds& /*area*/)
{
    return nullptr;
}

void Editor::OpenTextEntry(Control* /*control*/, const TextStyle& /*style*/, const Bounds& /*area*/,
                           const char* /*initialText*/, ParamRecord* /*param*/)
{
}

void* Editor::CreateEditorWindow(void* /*parent*/)
{
    return nullptr;
}

PIX_IBitmap* Editor::LoadResourceImage(int32_t id, const char* fileName)
{
    return LoadBuiltInImage(id, fileName);
}

void Editor::SetEditorSize(int32_t width_, int32_t height_)
{
    {
        // The audio thread reaches controls through the list while it holds
        // the plug mutex, so the list is only torn down under it.
        std::unique_lock<std::recursive_mutex> guard;
        if (plug)
            guard = std::unique_lock<std::recursive_mutex>(plug->Mutex());
        width = width_;
        height = height_;
        ReleaseMouseCapture();
        mouseOver = -1;
        DeleteControls();
        surface.reset();
        scratch.reset();
        PrepareSurfaces();
    }
    if (plug)
        plug->ResizeEditor(DeviceWidth(), DeviceHeight());
}

bool Editor::SetDisplayScale(DisplayScale newScale)
{
    if (newScale == scale)
        return false;
    {
        std::unique_lock<std::recursive_mutex> guard;
        if (plug)
            guard = std::unique_lock<std::recursive_mutex>(plug->Mutex());
        scale = newScale;
        ReleaseMouseCapture();
        surface.reset();
        scratch.reset();
        PrepareSurfaces();
    }
    MarkAllControlsDirty();
    if (plug)
        plug->ResizeEditor(DeviceWidth(), DeviceHeight());
    return true;
}

bool Editor::SetHostDisplayScale(DisplayScale newScale)
{
    hostGaveScale = true;
    return SetDisplayScale(newScale);
}

bool Editor::SetSystemDisplayScale(DisplayScale newScale)
{
    return !hostGaveScale && SetDisplayScale(newScale);
}

void Editor::PushParamToControls(int32_t paramIdx, double value, bool normalized)
{
    if (!normalized) {
        const ParamRecord* param = plug ? plug->ParamAt(paramIdx) : nullptr;
        if (!param)
            return;
        value = param->NormalizedOf(value);
    }
    for (const std::unique_ptr<Control>& c : controls) {
        if (c->ParamIdx() == paramIdx)
            c->ReceiveParamValue(value);
        const int32_t links = c->AuxParamCount();
        for (int32_t k = 0; k < links; ++k) {
            if (c->AuxParamAt(k)->paramIdx == paramIdx) {
                c->ReceiveAuxParamValue(k, value, links);
                break;
            }
        }
    }
}

void Editor::PrepareSurfaces()
{
    surface = std::make_unique<PIX_SysBitmap>(DeviceWidth(), DeviceHeight());
    scratch = std::make_unique<PIX_MemBitmap>();
}

void Editor::ReceiveControlValue(int32_t controlIdx, double normalized)
{
    if (controlIdx < 0 || controlIdx >= ControlCount())
        return;
    controls[static_cast<size_t>(controlIdx)]->ReceiveParamValue(normalized);
}

void Editor::ReceiveControlValues(int32_t controlIdx, const double* normalized, int32_t count)
{
    if (controlIdx < 0 || controlIdx >= ControlCount() || !normalized || count <= 0)
        return;
    controls[static_cast<size_t>(controlIdx)]->ReceiveParamValues(normalized, count);
}

int32_t Editor::AddControl(Control* control)
{
    if (!control)
        return -1;
    control->SetEditor(this);
    controls.emplace_back(control);
    return ControlCount() - 1;
}

void Editor::AddBackground(int32_t id, const char* fileName)
{
    const BitmapStrip strip = LoadStrip(id, fileName, 1);
    auto* background = new BitmapControl(plug, 0, 0, -1, strip, kBlendCopy);
    background->SetEditor(this);
    controls.emplace(controls.begin(), background);
}

BitmapStrip Editor::LoadStrip(int32_t id, const char* fileName, int32_t frames)
{
    PIX_IBitmap* bitmap = BitmapCache::Find(id);
    if (!bitmap) {
        if (PIX_IBitmap* loaded = LoadResourceImage(id, fileName))
            bitmap = BitmapCache::Insert(id, loaded);
    }
    BitmapStrip strip;
    strip.bitmap = bitmap;
    strip.width = bitmap ? bitmap->Width() : 0;
    strip.height = bitmap ? bitmap->Height() : 0;
    strip.frames = frames;
    strip.horizontal = false;
    strip.resourceId = id;
    return strip;
}

Control* Editor::GetControl(int32_t idx) const
{
    if (idx < 0 || idx >= ControlCount())
        return nullptr;
    return controls[static_cast<size_t>(idx)].get();
}

void Editor::SetKeyCatcher(Control* control)
{
    if (control)
        control->SetEditor(this);
    keyCatcher.reset(control);
}

bool Editor::Render(const Bounds& rect)
{
    if (controls.empty())
        return true;
    drawRect = scale.ToDevice(rect);
    for (const std::unique_ptr<Control>& c : controls) {
        if (!c->IsHidden() && rect.Intersects(c->Rect()))
            c->Draw(*this);
        c->MarkClean();
    }
    return PresentRect(drawRect);
}

bool Editor::CollectDirty(Bounds& out) const
{
    bool any = false;
    for (const std::unique_ptr<Control>& c : controls) {
        if (!c->NeedsRedraw())
            continue;
        out = any ? out.Union(c->Rect()) : c->Rect();
        any = true;
    }
    return any;
}

void Editor::MarkAllControlsDirty()
{
    for (const std::unique_ptr<Control>& c : controls)
        c->MarkDirty(false);
}

bool Editor::BlitStrip(const BitmapStrip& strip, const Bounds& dest, int32_t srcX, int32_t srcY,
                       const BlendStyle* blend)
{
    if (scale.IsOne())
        return Composite(strip.bitmap, dest, srcX, srcY, blend);

    // The same frame of the strip at this density, at the device place of
    // the logical one.
    const BitmapStrip scaled = ScaledStrip(strip);
    const int32_t fw = strip.FrameWidth();
    const int32_t fh = strip.FrameHeight();
    const int32_t frameX = fw > 0 && srcX >= 0 ? srcX / fw : 0;
    const int32_t frameY = fh > 0 && srcY >= 0 ? srcY / fh : 0;
    const int32_t sx = frameX * scaled.FrameWidth() + scale.ToDevice(srcX - frameX * fw);
    const int32_t sy = frameY * scaled.FrameHeight() + scale.ToDevice(srcY - frameY * fh);
    const int32_t left = scale.ToDevice(dest.left);
    const int32_t top = scale.ToDevice(dest.top);
    const Bounds deviceDest(left, top, left + scale.DeviceLength(dest.Width()),
                            top + scale.DeviceLength(dest.Height()));
    return Composite(scaled.bitmap, deviceDest, sx, sy, blend);
}

BitmapStrip Editor::ScaledStrip(const BitmapStrip& strip)
{
    BitmapStrip scaled = strip;
    const int32_t q = scale.Quarters();
    PIX_IBitmap* bitmap = nullptr;
    if (strip.resourceId != 0) {
        bitmap = BitmapCache::Find(strip.resourceId, q);
        if (!bitmap) {
            if (PIX_IBitmap* made = MakeScaledBitmap(strip))
                bitmap = BitmapCache::Insert(strip.resourceId, made, q);
        }
    } else if (strip.bitmap) {
        for (const OwnScaled& o : ownScaled) {
            if (o.source == strip.bitmap && o.quarters == q)
                bitmap = o.bitmap.get();
        }
        if (!bitmap) {
            if (PIX_IBitmap* made = MakeScaledBitmap(strip)) {
                ownScaled.push_back(OwnScaled{strip.bitmap, q, std::unique_ptr<PIX_IBitmap>(made)});
                bitmap = made;
            }
        }
    }
    scaled.bitmap = bitmap;
    scaled.width = bitmap ? bitmap->Width() : 0;
    scaled.height = bitmap ? bitmap->Height() : 0;
    return scaled;
}

PIX_IBitmap* Editor::MakeScaledBitmap(const BitmapStrip& strip)
{
    if (!strip.bitmap)
        return nullptr;
    const int32_t q = scale.Quarters();
    const int32_t frames = strip.horizontal ? 1 : strip.frames;
    // The double-density artwork, when the strip has it at exactly twice its
    // size: as it is at 2x, resampled from it in between.
    if (strip.resourceId != 0) {
        const int32_t id2x = strip.resourceId + kDoubleDensityIdOffset;
        PIX_IBitmap* artwork = BitmapCache::Find(strip.resourceId, DisplayScale::kArtworkQuarters);
        std::unique_ptr<PIX_IBitmap> decoded;
        if (!artwork && q != DisplayScale::kArtworkQuarters) {
            // Only the resampled strip stays: the double-density one would
            // cost four times the 1x memory for nothing.
            decoded.reset(LoadResourceImage(id2x, kDoubleDensityName));
            artwork = decoded.get();
        }
        if (!artwork && q == DisplayScale::kArtworkQuarters) {
            artwork = LoadResourceImage(id2x, kDoubleDensityName);
            if (artwork && (artwork->Width() != 2 * strip.width || artwork->Height() != 2 * strip.height)) {
                delete artwork;
                artwork = nullptr;
            }
            if (artwork)
                return artwork;
        }
        if (artwork && artwork->Width() == 2 * strip.width && artwork->Height() == 2 * strip.height)
            return PIX_ResampleFrames(*artwork, frames, q, DisplayScale::kArtworkQuarters);
    }
    // No artwork at this density: the 1x strip, resampled.
    return PIX_ResampleFrames(*strip.bitmap, frames, q, 4);
}

bool Editor::Composite(PIX_IBitmap* bitmap, const Bounds& dest, int32_t srcX, int32_t srcY, const BlendStyle* blend)
{
    Bounds clipped;
    if (!dest.IsEmpty() && !drawRect.IsEmpty() && dest.Intersects(drawRect))
        clipped = dest.Intersection(drawRect);

    const PIX_Rect source{srcX + clipped.left - dest.left, srcY + clipped.top - dest.top,
                          srcX + clipped.right - dest.left, srcY + clipped.bottom - dest.top};

    int32_t mode = PIX_MODE_COPY | PIX_MODE_SOURCE_ALPHA;
    float weight = 1.0f;
    if (blend) {
        switch (blend->method) {
        case kBlendCopy: mode = PIX_MODE_COPY; break;
        case kBlendAdd: mode = PIX_MODE_ADD | PIX_MODE_SOURCE_ALPHA; break;
        case kBlendDodge: mode = PIX_MODE_DODGE | PIX_MODE_SOURCE_ALPHA; break;
        default: break;
        }
        weight = blend->weight;
    }
    PIX_Composite(surface.get(), bitmap, clipped.left, clipped.top, &source, weight, mode);
    return true;
}

PIX_CachedFont* Editor::FontFor(TextStyle& style)
{
    if (!style.font)
        style.font = FontCache::Acquire(style);
    return style.font;
}

bool Editor::DrawTextInRect(TextStyle& style, const char* text, Bounds& rect, bool measure)
{
    if (!text || !text[0])
        return true;
    if (!scale.IsOne()) {
        // The cached font at the device size, in the device rect; a measure
        // comes back in logical pixels.
        TextStyle deviceStyle = style;
        deviceStyle.size = scale.FontSize(style.size);
        deviceStyle.font = nullptr;
        Bounds deviceRect = scale.ToDevice(rect);
        const bool ok = DrawTextOnSurface(deviceStyle, text, deviceRect, measure);
        if (measure)
            rect = scale.ToLogical(deviceRect);
        return ok;
    }
    return DrawTextOnSurface(style, text, rect, measure);
}

bool Editor::DrawTextOnSurface(TextStyle& style, const char* text, Bounds& rect, bool measure)
{
    PIX_CachedFont* font = FontFor(style);
    if (!font)
        return false;
    font->SetInkColor(style.color.ToPixel());

    uint32_t flags = PIX_DT_NOCLIP;
    if (style.color.alpha != 255)
        flags |= TEXT_INK_ALPHA;

    if (measure) {
        PIX_Rect measured{0, 0, 0, 0};
        font->RenderText(surface.get(), text, -1, &measured, flags | PIX_DT_CALCRECT);
        const int32_t w = measured.right - measured.left;
        const int32_t h = measured.bottom - measured.top;
        rect.bottom = rect.top + h;
        if (style.alignment == kAlignCenter) {
            rect.left = (rect.left + rect.right) / 2 - w / 2;
            rect.right = rect.left + w;
        } else if (style.alignment == kAlignRight) {
            rect.left = rect.right - w;
        } else {
            rect.right = rect.left + w;
        }
        return true;
    }

    if (style.alignment == kAlignCenter)
        flags |= PIX_DT_CENTER;
    else if (style.alignment == kAlignRight)
        flags |= PIX_DT_RIGHT;
    PIX_Rect area{rect.left, rect.top, rect.right, rect.bottom};
    font->RenderText(surface.get(), text, -1, &area, flags);
    return true;
}

int32_t Editor::ControlAt(int32_t x, int32_t y, bool forMouseOver) const
{
    if (mouseCapture >= 0)
        return mouseCapture;
    // Later controls lie on top.
    for (int32_t i = ControlCount() - 1; i >= 0; --i) {
        const Control* c = controls[static_cast<size_t>(i)].get();
        if (c->IsHidden())
            continue;
        if (c->IsGrayed() && !(forMouseOver && c->MouseOverWhenGrayed()))
            continue;
        if (c->HitTest(x, y))
            return i;
    }
    return -1;
}

void Editor::ReleaseMouseCapture()
{
    mouseCapture = -1;
    lastMouseX = -1;
    lastMouseY = -1;
}

bool Editor::BeginGesture(int32_t paramIdx, GestureKind kind)
{
    if (gestureKind != GestureKind::kNone && gestureParam == paramIdx) {
        // More of the same edit; a wheel burst rests from now on.
        if (gestureKind == GestureKind::kWheel)
            wheelRestTicks = 0;
        return false;
    }
    EndGesture();
    if (!plug || paramIdx < 0)
        return false;
    gestureParam = paramIdx;
    gestureKind = kind;
    wheelRestTicks = 0;
    plug->BeginParamEdit(paramIdx);
    return true;
}

void Editor::EndGesture()
{
    if (gestureKind == GestureKind::kNone)
        return;
    const int32_t paramIdx = gestureParam;
    gestureParam = -1;
    gestureKind = GestureKind::kNone;
    wheelRestTicks = 0;
    if (plug)
        plug->EndParamEdit(paramIdx);
}

bool Editor::BeginSingleEdit(int32_t paramIdx)
{
    return BeginGesture(paramIdx, GestureKind::kSingle);
}

int32_t Editor::WheelIdleTicks() const
{
    if (frameRate <= 0)
        return 1;
    const int32_t ticks = (kWheelIdleMs * frameRate + 999) / 1000;
    return ticks < 1 ? 1 : ticks;
}

void Editor::TickGestures()
{
    if (gestureKind != GestureKind::kWheel)
        return;
    if (++wheelRestTicks >= WheelIdleTicks())
        EndGesture();
}

void Editor::HandleMouseDown(int32_t x, int32_t y, const MouseModifiers& mods)
{
    EndGesture();
    ReleaseMouseCapture();
    const int32_t idx = ControlAt(x, y, false);
    Control* c = GetControl(idx);
    if (!c)
        return;
    mouseCapture = idx;
    lastMouseX = x;
    lastMouseY = y;

    const int32_t paramIdx = c->ParamIdx();
    if (plug && paramIdx >= 0 && mods.right && plug->ApiKind() == kApiVst3) {
        // The host's own parameter menu replaces the control's right click;
        // no edit opens, so the release that may follow ends none.
        ReleaseMouseCapture();
        plug->PopupParamContextMenu(paramIdx, x, y);
        return;
    }
    BeginGesture(paramIdx, GestureKind::kPress);
    c->MouseDown(x, y, mods);
}

void Editor::HandleMouseDrag(int32_t x, int32_t y, const MouseModifiers& mods)
{
    Control* c = GetControl(mouseCapture);
    if (!c || (x == lastMouseX && y == lastMouseY))
        return;
    const int32_t dX = x - lastMouseX;
    const int32_t dY = y - lastMouseY;
    lastMouseX = x;
    lastMouseY = y;
    c->MouseDrag(x, y, dX, dY, mods);
}

void Editor::HandleMouseUp(int32_t x, int32_t y, const MouseModifiers& mods)
{
    const int32_t idx = ControlAt(x, y, false);
    ReleaseMouseCapture();
    if (Control* c = GetControl(idx))
        c->MouseUp(x, y, mods);
    // Ends the edit its press opened, whatever lies under the mouse now; a
    // release whose press opened none ends nothing.
    EndGesture();
}

bool Editor::HandleMouseDoubleClick(int32_t x, int32_t y, const MouseModifiers& mods)
{
    EndGesture();
    ReleaseMouseCapture();
    const int32_t idx = ControlAt(x, y, false);
    Control* c = GetControl(idx);
    if (!c)
        return false;
    if (c->DoubleClickActsAsClick()) {
        mouseCapture = idx;
        lastMouseX = x;
        lastMouseY = y;
        BeginGesture(c->ParamIdx(), GestureKind::kPress);
        c->MouseDown(x, y, mods);
        return true;
    }
    // A whole edit of its own: the release that follows ends nothing.
    BeginGesture(c->ParamIdx(), GestureKind::kSingle);
    c->MouseDoubleClick(x, y, mods);
    EndGesture();
    return false;
}

bool Editor::HandleMouseWheel(int32_t x, int32_t y, const MouseModifiers& mods, int32_t notches)
{
    Control* c = GetControl(ControlAt(x, y, false));
    if (!c) {
        EndGesture();
        return false;
    }
    // Inside a press the press's edit goes on; otherwise the notches share
    // one edit until the wheel rests.
    if (!(gestureKind == GestureKind::kPress && gestureParam == c->ParamIdx()))
        BeginGesture(c->ParamIdx(), GestureKind::kWheel);
    c->MouseWheel(x, y, mods, notches);
    return true;
}

bool Editor::HandleMouseOver(int32_t x, int32_t y, const MouseModifiers& mods)
{
    if (!handleMouseOver)
        return false;
    const int32_t idx = ControlAt(x, y, true);
    Control* c = GetControl(idx);
    if (c) {
        lastMouseX = x;
        lastMouseY = y;
        c->MouseOver(x, y, mods);
        if (mouseOver >= 0 && mouseOver != idx) {
            if (Control* previous = GetControl(mouseOver))
                previous->MouseOut();
        }
        mouseOver = idx;
    }
    return true;
}

void Editor::HandleMouseOut()
{
    for (const std::unique_ptr<Control>& c : controls)
        c->MouseOut();
    mouseOver = -1;
}

bool Editor::HandleKeyDown(int32_t x, int32_t y, KeyCode key)
{
    const int32_t idx = ControlAt(x, y, false);
    // The background takes no keys of its own.
    Control* target = idx > 0 ? GetControl(idx) : nullptr;
    if (!target)
        target = keyCatcher.get();
    return target && target->KeyDown(x, y, key);
}

void Editor::PromptControlValue(Control* control, ParamRecord* param, const Bounds& area)
{
    if (!control || !param)
        return;

    const ParamKind kind = param->Kind();
    if (kind == kParamEnumeration || (kind == kParamBoolean && param->DisplayTextCount() > 0)) {
        char current[ParamRecord::kTextSize];
        param->FormatValue(current, sizeof current);
        PopupMenu menu(PopupMenu::kNoPrefix);
        const int32_t count = param->DisplayTextCount();
        for (int32_t i = 0; i < count; ++i) {
            const char* text = param->DisplayTextFor(i);
            menu.AddItem(text, std::strcmp(text, current) == 0 ? kMenuItemChecked : 0);
        }
        PopupMenu* chosen = TrackMenu(menu, area);
        if (chosen && chosen->ChosenIndex() >= 0) {
            const bool opened = BeginSingleEdit(control->ParamIdx());
            control->ApplyUserValue(param->NormalizedOf(chosen->ChosenIndex()));
            if (opened)
                EndGesture();
        }
        return;
    }

    // Numeric text, never a display text: the entry is typed as a number.
    double v = param->Value();
    if (param->NegateDisplay())
        v = -v;
    char text[ParamRecord::kTextSize];
    if (param->Precision() == 0)
        std::snprintf(text, sizeof text, "%d", static_cast<int>(TruncateToInt32(v)));
    else
        std::snprintf(text, sizeof text, "%.*f", static_cast<int>(param->Precision()), v);
    OpenTextEntry(control, control->GetTextStyle(), area, text, param);
}
