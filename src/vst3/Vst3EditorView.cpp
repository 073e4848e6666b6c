#include "vst3/Vst3EditorView.h"

#include "vst3/Vst3Plug.h"

#if TIDEPULL_HAS_GUI
#include "gui/Editor.h"
#endif
#if TIDEPULL_HAS_GUI && SMTG_OS_LINUX
#include "gui/x11/EditorX11.h"
#endif
#if SMTG_OS_LINUX
#include "vst3/Vst3RunLoopBridge.h"
#endif

#include <cstring>

using namespace Steinberg;

#if SMTG_OS_WINDOWS
const FIDString Vst3EditorView::kPlatformType = kPlatformTypeHWND;
#elif SMTG_OS_LINUX
const FIDString Vst3EditorView::kPlatformType = kPlatformTypeX11EmbedWindowID;
#else
const FIDString Vst3EditorView::kPlatformType = kPlatformTypeNSView;
#endif

namespace {

bool IsOwnPlatform(FIDString type)
{
    return type && std::strcmp(type, Vst3EditorView::kPlatformType) == 0;
}

#if SMTG_OS_LINUX
// The host's run loop, from its frame or else its context; the caller
// releases it.
Linux::IRunLoop* HostRunLoop(IPlugFrame* frame, FUnknown* context)
{
    for (FUnknown* source : {static_cast<FUnknown*>(frame), context}) {
        Linux::IRunLoop* loop = nullptr;
        if (source &&
            source->queryInterface(Linux::IRunLoop::iid, reinterpret_cast<void**>(&loop)) == kResultOk && loop)
            return loop;
    }
    return nullptr;
}
#endif

void DropWaitingRegistrations()
{
#if SMTG_OS_LINUX
    Vst3RunLoopBridge::DropWaitingRegistrations();
#endif
}

} // namespace

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
#if SMTG_OS_LINUX
    runLoop = nullptr;
#endif
    DropWaitingRegistrations();
    if (plug) {
        plug->ForgetViews();
        plug->release();
    }
}

Editor* Vst3EditorView::PlugEditor() const
{
#if TIDEPULL_HAS_GUI
    return plug ? dynamic_cast<Editor*>(plug->GetEditor()) : nullptr;
#else
    return nullptr;
#endif
}

EditorX11* Vst3EditorView::PlugEditorX11() const
{
#if TIDEPULL_HAS_GUI && SMTG_OS_LINUX
    return dynamic_cast<EditorX11*>(PlugEditor());
#else
    return nullptr;
#endif
}

void Vst3EditorView::OpenWindow(void* parent)
{
#if TIDEPULL_HAS_GUI
#if SMTG_OS_LINUX
    // The window the editor may have open keeps its loop until the new
    // window has replaced it.
    const IPtr<Vst3RunLoopBridge> previous = runLoop;
    runLoop = nullptr;
    EditorX11* x11 = PlugEditorX11();
    if (x11) {
        if (Linux::IRunLoop* hostLoop = HostRunLoop(plugFrame, plug->getHostContext())) {
            runLoop = owned(new Vst3RunLoopBridge(hostLoop));
            hostLoop->release();
        }
        x11->SetHostEventLoop(runLoop);
    }
    PlugEditor()->CreateEditorWindow(parent);
    if (x11)
        x11->SetHostEventLoop(nullptr);
#else
    PlugEditor()->CreateEditorWindow(parent);
#endif
    windowOpened = true;
#else
    (void)parent;
#endif
}

void Vst3EditorView::CloseWindow()
{
#if TIDEPULL_HAS_GUI
    Editor* editor = PlugEditor();
    if (!editor)
        return;
#if SMTG_OS_LINUX
    // Only the window this view opened: another view may have opened its own
    // since.
    EditorX11* x11 = PlugEditorX11();
    if (x11 && runLoop && x11->ActiveLoop() != runLoop.get()) {
        windowOpened = false;
        return;
    }
#endif
    editor->DestroyEditorWindow();
#endif
    windowOpened = false;
}

void Vst3EditorView::Pump()
{
#if TIDEPULL_HAS_GUI && SMTG_OS_LINUX
    DropWaitingRegistrations();
    if (EditorX11* x11 = PlugEditorX11())
        x11->Pump();
#endif
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
    DropWaitingRegistrations();
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
    DropWaitingRegistrations();
    // A view that is not attached has no window to close: the editor may
    // be another view's.
    if (PlugEditor() && plug->EditorOwner() == this) {
        plug->OnEditorClose();
#if TIDEPULL_HAS_GUI
        PlugEditor()->DestroyEditorWindow();
#endif
        plug->SetEditorOwner(nullptr);
    }
    windowOpened = false;
#if SMTG_OS_LINUX
    // The window has let go of the loop; registrations that could not go yet
    // wait in the bridge's list.
    runLoop = nullptr;
#endif
    DropWaitingRegistrations();
    return CPluginView::removed();
}

tresult PLUGIN_API Vst3EditorView::getSize(ViewRect* size)
{
    Pump();
#if TIDEPULL_HAS_GUI
    const Editor* editor = PlugEditor();
    if (!editor)
        return kResultFalse;
    if (!size)
        return kInvalidArgument;
    *size = ViewRect(0, 0, editor->DeviceWidth(), editor->DeviceHeight());
    return kResultOk;
#else
    (void)size;
    return kResultFalse;
#endif
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
#if TIDEPULL_HAS_GUI
    Editor* editor = PlugEditor();
    if (!editor)
        return kResultFalse;
    if (!(factor > 0.0f) || !(factor < 1e6f))
        return kInvalidArgument;
    // A new scale resizes an open window and asks the frame for the size;
    // from now on the system's resolution no longer counts.
    editor->SetHostDisplayScale(DisplayScale::FromFactor(factor));
    return kResultOk;
#else
    (void)factor;
    return kResultFalse;
#endif
}
