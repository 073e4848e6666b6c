#pragma once

#include "public.sdk/source/common/pluginview.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "vst3/Vst3ViewPlatform.h"

class Editor;
class Vst3Plug;

// The editor view a host receives from createView("editor"): it opens and
// closes the plug's editor window in the host's window, reports the editor's
// size and carries the editor's resize requests to the host. The editor and
// all drawing are the plug's; the view only forwards.
//
// For a window that runs on the host's event loop (a Linux host's run loop)
// the view also finds that loop (through the frame, else the host context)
// and hands it to the window. Where a host has none, every view call keeps
// the window going (see Editor::Pump).
//
// The editor has one window, so one view at a time is attached: while it
// is, the effect makes no other view and refuses to attach another.
// Sizes are in device pixels: the editor's size at its display scale, which
// the host sets with setContentScaleFactor (the view then asks the frame for
// the new size); until it does, the window opens at the desktop's scale.
class Vst3EditorView : public Steinberg::CPluginView, public Steinberg::IPlugViewContentScaleSupport {
public:
    OBJ_METHODS(Vst3EditorView, CPluginView)
    DEFINE_INTERFACES
    DEF_INTERFACE(Steinberg::IPlugViewContentScaleSupport)
    END_DEFINE_INTERFACES(CPluginView)
    REFCOUNT_METHODS(CPluginView)

    // Holds a reference on the plug for its whole life.
    explicit Vst3EditorView(Vst3Plug* plug);
    ~Vst3EditorView() override;

    Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API removed() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API setFrame(Steinberg::IPlugFrame* frame) SMTG_OVERRIDE;
    // The editor window takes the mouse and keys itself.
    Steinberg::tresult PLUGIN_API onWheel(float distance) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API onKeyDown(Steinberg::char16 key, Steinberg::int16 keyCode,
                                            Steinberg::int16 modifiers) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API onKeyUp(Steinberg::char16 key, Steinberg::int16 keyCode,
                                          Steinberg::int16 modifiers) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API onFocus(Steinberg::TBool state) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API canResize() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API checkSizeConstraint(Steinberg::ViewRect* rect) SMTG_OVERRIDE;
    // Rounded to the nearest of 1, 1.25, 1.5, 1.75 and 2; kInvalidArgument
    // for a factor that is not a positive number.
    Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) SMTG_OVERRIDE;

    // Set when the view has asked the host for a new size; the next onSize
    // clears it.
    bool ExpectingNewSize() const { return expectingNewSize; }
    void SetExpectingNewSize(bool on) { expectingNewSize = on; }
    Steinberg::IPlugFrame* Frame() const { return plugFrame; }

    // Runs the window's pending work in a host without a run loop.
    void Pump();

private:
    Editor* PlugEditor() const;
    void OpenWindow(void* parent);
    void CloseWindow();

    Vst3Plug* plug;
    bool expectingNewSize = false;
    bool windowOpened = false;
    // The host's loop as the window this view opened uses it.
    Vst3ViewPlatform runLoop;
};
