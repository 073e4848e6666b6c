#include "vst3/Vst3EditorView.h"

#include "gui/Editor.h"
#include "vst3/Vst3Plug.h"

#include <cstring>

using namespace Steinberg;

namespace {

bool IsOwnPlatform(FIDString type)
{
    return type && std::strcmp(type, Vst3ViewPlatform::kPlatformType) == 0;
}

}   // namespace

Vst3EditorView::Vst3EditorView(Vst3Plug* p) : plug(p)
{
    if (plug)
        plug->addRef();
}

Vst3EditorView::~Vst3EditorView()
{
    // A host that releases the view without removing it first: its window
    // must not outlive the run loop it was given.
    if (windowOpened)
        CloseWindow();
    if (plug && plug->EditorOwner() == this)
        plug->SetEditorOwner(nullptr);
    runLoop = Vst3ViewPlatform();
    Vst3ViewPlatform::DropWaitingRegistrations();
    if (plug) {
        plug->ForgetViews();
        plug->release();
    }
}

Editor* Vst3EditorView::PlugEditor() const
{
    return plug ? dynamic_cast<Editor*>(plug->GetEditor()) : nullptr;
}

void Vst3EditorView::OpenWindow(void* parent)
{
    // The window the editor may have open keeps its loop until the new
    // window has replaced it.
    const Vst3ViewPlatform previous = runLoop;
    runLoop = Vst3ViewPlatform();
    Editor* editor = PlugEditor();
    const bool takesLoop = editor->TakesHostEventLoop();
    if (takesLoop) {
        runLoop = Vst3ViewPlatform::FindHostLoop(plugFrame, plug->getHostContext());
        editor->SetHostEventLoop(runLoop.Loop());
    }
    editor->CreateEditorWindow(parent);
    if (takesLoop)
        editor->SetHostEventLoop(nullptr);
    windowOpened = true;
}

void Vst3EditorView::CloseWindow()
{
    Editor* editor = PlugEditor();
    if (!editor)
        return;
    // Only the window this view opened: another view may have opened its own
    // since.
    if (runLoop.Loop() && editor->ActiveLoop() != runLoop.Loop()) {
        windowOpened = false;
        return;
    }
    editor->DestroyEditorWindow();
    windowOpened = false;
}

void Vst3EditorView::Pump()
{
    Vst3ViewPlatform::DropWaitingRegistrations();
    if (Editor* editor = PlugEditor())
        editor->Pump();
}

tresult PLUGIN_API Vst3EditorView::isPlatformTypeSupported(FIDString type)
{
    Pump();
    if (!PlugEditor())
        return kResultFalse;
    return IsOwnPlatform(type) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API Vst3EditorView::attached(void* parent, FIDString type)
{
    Vst3ViewPlatform::DropWaitingRegistrations();
    if (!PlugEditor())
        return kResultFalse;
    // The editor's one window stays with the view that has it.
    const IPlugView* owner = plug->EditorOwner();
    if (owner && owner != this)
        return kResultFalse;
    // Another type opens no window, yet the editor counts as open.
    if (IsOwnPlatform(type))
        OpenWindow(parent);
    plug->SetEditorOwner(this);
    plug->OnEditorOpen();
    return kResultOk;
}

tresult PLUGIN_API Vst3EditorView::removed()
{
    Vst3ViewPlatform::DropWaitingRegistrations();
    // A view that is not attached has no window to close: the editor may
    // be another view's.
    if (PlugEditor() && plug->EditorOwner() == this) {
        plug->OnEditorClose();
        PlugEditor()->DestroyEditorWindow();
        plug->SetEditorOwner(nullptr);
    }
    windowOpened = false;
    // The window has let go of the loop; registrations that could not go yet
    // wait to be dropped.
    runLoop = Vst3ViewPlatform();
    Vst3ViewPlatform::DropWaitingRegistrations();
    return CPluginView::removed();
}

tresult PLUGIN_API Vst3EditorView::getSize(ViewRect* size)
{
    Pump();
    const Editor* editor = PlugEditor();
    if (!editor)
        return kResultFalse;
    if (!size)
        return kInvalidArgument;
    *size = ViewRect(0, 0, editor->DeviceWidth(), editor->DeviceHeight());
    return kResultOk;
}

tresult PLUGIN_API Vst3EditorView::onSize(ViewRect* newSize)
{
    if (newSize)
        rect = *newSize;
    expectingNewSize = false;
    Pump();
    return kResultOk;
}

tresult PLUGIN_API Vst3EditorView::setFrame(IPlugFrame* frame)
{
    Pump();
    return CPluginView::setFrame(frame);
}

tresult PLUGIN_API Vst3EditorView::onWheel(float)
{
    Pump();
    return kResultFalse;
}

tresult PLUGIN_API Vst3EditorView::onKeyDown(char16, int16, int16)
{
    Pump();
    return kResultFalse;
}

tresult PLUGIN_API Vst3EditorView::onKeyUp(char16, int16, int16)
{
    Pump();
    return kResultFalse;
}

tresult PLUGIN_API Vst3EditorView::onFocus(TBool)
{
    Pump();
    return kResultFalse;
}

tresult PLUGIN_API Vst3EditorView::canResize()
{
    Pump();
    return kResultFalse;
}

tresult PLUGIN_API Vst3EditorView::checkSizeConstraint(ViewRect*)
{
    Pump();
    return kResultFalse;
}

tresult PLUGIN_API Vst3EditorView::setContentScaleFactor(ScaleFactor factor)
{
    Pump();
    Editor* editor = PlugEditor();
    if (!editor)
        return kResultFalse;
    if (!(factor > 0.0f) || !(factor < 1e6f))
        return kInvalidArgument;
    // A new scale resizes an open window and asks the frame for the size;
    // from now on the system's resolution no longer counts.
    editor->SetHostDisplayScale(DisplayScale::FromFactor(factor));
    return kResultOk;
}
