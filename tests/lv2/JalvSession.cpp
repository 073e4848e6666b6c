#include "JalvSession.h"

#include "posix/ChildProcess.h"
#include "SnapshotPicture.h"
#include "TestDeadline.h"
#include "WindowContents.h"
#include "XTestInput.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

void Pause()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

long CardinalProperty(Display* display, Window w, const char* name)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long value = -1;
    if (XGetWindowProperty(display, w, XInternAtom(display, name, False), 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data && format == 32 && count == 1)
        value = *reinterpret_cast<long*>(data);
    if (data)
        XFree(data);
    return value;
}

// Windows of other clients come and go (menus, dialogs) between the calls
// that look at them: an error about one is no reason to end the test.
int IgnoreError(Display*, XErrorEvent*)
{
    return 0;
}

}   // namespace

// ---- the JACK server ----

JackDummyServer::JackDummyServer(const std::string& folder)
    : folder(folder),
      name("tidepull-" + std::to_string(::getpid()))
{
}

bool JackDummyServer::Start(std::string& why)
{
    const std::string server = SpawnedProcess::Find("jackd");
    const std::string wait = SpawnedProcess::Find("jack_wait");
    if (server.empty() || wait.empty()) {
        why = "jackd or jack_wait is not installed";
        return false;
    }
    if (!jackd.Start({server, "--no-realtime", "-n", name, "-d", "dummy", "-r", "48000", "-p", "256"},
                     {"JACK_DEFAULT_SERVER=" + name, "JACK_NO_START_SERVER=1"}, folder, folder + "/jackd.out",
                     folder + "/jackd.err")) {
        why = "jackd did not start";
        return false;
    }
    // jack_wait gives up by itself after -t seconds; the deadline is for it hanging.
    const std::string seconds = std::to_string(TestDeadline::LimitMs() / 1000);
    const ChildProcess::Result r =
        ChildProcess::Run(wait, {"-w", "-s", name, "-t", seconds}, TestDeadline::Limit() + std::chrono::seconds(5));
    if (r.ExitCode() != 0 || jackd.Ended()) {
        why = "JACK server " + name + " did not come up:\n" + r.out + r.err +
            ChildProcess::ReadFile(folder + "/jackd.err");
        return false;
    }
    return true;
}

// ---- jalv.gtk3 ----

JalvSession::JalvSession(Display* display, const std::string& folder, const std::string& lv2Path,
                         const std::string& jackServer)
    : display(display),
      folder(folder),
      lv2Path(lv2Path),
      jackServer(jackServer)
{
    XSetErrorHandler(IgnoreError);
}

bool JalvSession::Start(const std::vector<std::string>& args)
{
    std::vector<std::string> argv{SpawnedProcess::Find("jalv.gtk3")};
    argv.insert(argv.end(), args.begin(), args.end());
    main = 0;
    // A HOME of its own keeps the user's presets and GTK's recent files out;
    // GSettings in memory and no accessibility bus need no D-Bus session.
    return !argv[0].empty() &&
        jalv.Start(argv,
                   {"LV2_PATH=" + lv2Path, "HOME=" + folder, "JACK_DEFAULT_SERVER=" + jackServer,
                    "JACK_NO_START_SERVER=1", "GSETTINGS_BACKEND=memory", "NO_AT_BRIDGE=1"},
                   folder, folder + "/jalv.out", folder + "/jalv.err");
}

std::string JalvSession::Output() const
{
    return ChildProcess::ReadFile(folder + "/jalv.out");
}

std::string JalvSession::Errors() const
{
    return ChildProcess::ReadFile(folder + "/jalv.err");
}

Window JalvSession::TopLevel(const std::string& title) const
{
    for (const Window w : ChildWindows(display, DefaultRootWindow(display))) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(display, w, &a) || a.map_state != IsViewable || a.override_redirect)
            continue;
        if (CardinalProperty(display, w, "_NET_WM_PID") != jalv.Pid())
            continue;
        Window owner = 0;
        const bool transient = XGetTransientForHint(display, w, &owner) && owner != 0;
        if (title.empty()) {
            if (!transient)
                return w;
            continue;
        }
        char* name = nullptr;
        const bool named = XFetchName(display, w, &name) && name && title == name;
        if (name)
            XFree(name);
        if (named)
            return w;
    }
    return 0;
}

Window JalvSession::Sized(Window w, int width, int height) const
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, w, &a) || a.map_state != IsViewable)
        return 0;
    for (const Window child : ChildWindows(display, w)) {
        if (const Window found = Sized(child, width, height))
            return found;
    }
    return a.width == width && a.height == height ? w : 0;
}

std::vector<uint32_t> JalvSession::Picture(Window w) const
{
    XWindowAttributes a;
    if (!w || !XGetWindowAttributes(display, w, &a))
        return {};
    return WindowPixels(display, w, 0, 0, a.width, a.height);
}

void JalvSession::ScreenPoint(Window w, int x, int y, int& sx, int& sy) const
{
    Window child = 0;
    XTranslateCoordinates(display, w, DefaultRootWindow(display), x, y, &sx, &sy, &child);
}

Window JalvSession::FindEditor(int w, int h)
{
    XSync(display, False);
    main = TopLevel("");
    return main ? Sized(main, w, h) : 0;
}

Window JalvSession::AwaitEditor(int w, int h, const std::vector<uint32_t>& picture, std::string& why)
{
    Window editor = 0;
    size_t differ = picture.size();
    const bool shown = TestDeadline::Until(
        [&]() {
        editor = FindEditor(w, h);
        differ = editor ? DifferentPixels(Picture(editor), picture) : picture.size();
        return (editor && differ == 0) || jalv.Ended();
        },
        Pause);
    if (shown && editor && differ == 0)
        return editor;
    why = jalv.Ended() ? "jalv.gtk3 ended"
        : !main        ? "no main window of jalv.gtk3"
        : !editor      ? "no window of " + std::to_string(w) + " x " + std::to_string(h) + " inside jalv's window"
                       : std::to_string(differ) + " pixels differ from the reference";
    why += " (deadline " + TestDeadline::LimitText() + ")\n" + Errors();
    return 0;
}

bool JalvSession::AwaitPicture(Window editor, const std::vector<uint32_t>& picture, std::string& why)
{
    size_t differ = picture.size();
    if (TestDeadline::Until(
            [&]() {
        XSync(display, False);
        differ = DifferentPixels(Picture(editor), picture);
        return differ == 0;
            },
            Pause))
        return true;
    why = std::to_string(differ) + " pixels differ from the reference after " + TestDeadline::LimitText();
    return false;
}

bool JalvSession::SaveState(const std::string& dir, std::string& why)
{
    XTestInput input(display);
    XWindowAttributes a;
    if (!main || !XGetWindowAttributes(display, main, &a)) {
        why = "no main window";
        return false;
    }
    // With no window manager the keys go to the window under the pointer:
    // the menu bar, at the top of the main window.
    int x = 0;
    int y = 0;
    ScreenPoint(main, a.width / 2, 8, x, y);
    input.MoveTo(x, y);
    const unsigned control = XKeysymToKeycode(display, XK_Control_L);
    XTestFakeKeyEvent(display, control, True, 0);
    input.Key(XK_s);
    XTestFakeKeyEvent(display, control, False, 0);
    XSync(display, False);

    Window dialog = 0;
    if (!TestDeadline::Until([&]() { return (dialog = TopLevel("Save State")) != 0; }, Pause)) {
        why = "no Save State dialog after Ctrl+S within " + TestDeadline::LimitText();
        return false;
    }
    XGetWindowAttributes(display, dialog, &a);
    ScreenPoint(dialog, a.width / 2, a.height / 2, x, y);
    input.MoveTo(x, y);
    input.Type(dir);
    // The chooser lets a Return pass while it still completes what was typed:
    // Return again until the dialog goes.
    const std::string state = dir + "/state.ttl";
    const bool saved =
        TestDeadline::Until([&]() { return ::access(state.c_str(), R_OK) == 0 && !TopLevel("Save State"); },
                            [&]() {
        if (::access(state.c_str(), R_OK) != 0 && TopLevel("Save State"))
            input.Key(XK_Return);
        for (int i = 0; i < 25 && ::access(state.c_str(), R_OK) != 0; ++i)
            Pause();
        });
    if (!saved)
        why = "no " + state + " within " + TestDeadline::LimitText() + "\n" + Errors();
    return saved;
}

int JalvSession::Close()
{
    if (main) {
        XEvent e = {};
        e.xclient.type = ClientMessage;
        e.xclient.window = main;
        e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, main, False, NoEventMask, &e);
        XSync(display, False);
    }
    const int code = jalv.WaitForEnd() ? jalv.ExitCode() : -1;
    jalv.Stop();
    return code;
}
