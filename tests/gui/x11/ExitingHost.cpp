// A host that exits with the plug-in's editor still attached, as hosts do
// when they are closed with a plug-in window open. Its clean-up is set up
// before the plug-in is loaded, so exit() runs it after the library's
// static destructors: it then calls `removed` and releases the view and
// the effect. Exit status 0 when every call answered as it should; a
// plug-in that tears down its X connection too early aborts it instead.
//
// Usage: tidepull_x11_exiting_host PATH-TO-LIBRARY (under an X server)
#include "PluginModule.h"
#include "TestHostContext.h"
#include "X11TestHost.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

struct Session {
    X11TestHost* host = nullptr;
    TestHostContext context;
    IPluginFactory* factory = nullptr;
    IComponent* component = nullptr;
    IEditController* controller = nullptr;
    IPlugView* view = nullptr;
};

Session* session = nullptr;
// Never unloaded: a host that exits leaves that to the system (held here so
// a leak checker sees it reachable).
PluginModule* keptModule = nullptr;

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "exiting host: %s\n", what);
    std::fflush(stderr);
    _exit(2);
}

void AfterStaticDestructors()
{
    if (!session || !session->view)
        return;
    Session& s = *session;
    if (s.view->removed() != kResultOk)
        Fail("removed did not answer kResultOk");
    if (!s.host->ChildrenOf(s.host->Parent()).empty())
        Fail("the editor window outlived removed");
    if (s.host->Timers() != 0 || s.host->Handlers() != 0)
        Fail("the run loop registrations outlived removed");
    s.view->release();
    s.controller->release();
    s.component->terminate();
    s.component->release();
    s.factory->release();
}

}   // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-LIBRARY\n", argv[0]);
        return 2;
    }
    std::atexit(&AfterStaticDestructors);
    session = new Session();
    Session& s = *session;
    s.host = new X11TestHost(true);
    if (!s.host->Ok())
        Fail("no X server (DISPLAY)");
    keptModule = new PluginModule(argv[1]);
    PluginModule* module = keptModule;
    if (!module->Entered())
        Fail(module->Error().c_str());
    s.factory = module->GetFactory();
    PClassInfo info;
    if (!s.factory || s.factory->getClassInfo(0, &info) != kResultOk)
        Fail("no class");
    void* obj = nullptr;
    if (s.factory->createInstance(info.cid, IComponent::iid, &obj) != kResultOk || !obj)
        Fail("no instance");
    s.component = static_cast<IComponent*>(obj);
    if (s.component->initialize(static_cast<IHostApplication*>(&s.context)) != kResultOk)
        Fail("initialize refused");
    if (s.component->queryInterface(IEditController::iid, reinterpret_cast<void**>(&s.controller)) != kResultOk)
        Fail("no controller");
    s.view = s.controller->createView(ViewType::kEditor);
    if (!s.view)
        Fail("no view");
    s.view->setFrame(s.host);
    if (s.view->attached(s.host->ParentHandle(), kPlatformTypeX11EmbedWindowID) != kResultOk)
        Fail("attached refused");
    s.host->Run(100);
    if (s.host->ChildrenOf(s.host->Parent()).size() != 1)
        Fail("no editor window");
    return 0;
}
