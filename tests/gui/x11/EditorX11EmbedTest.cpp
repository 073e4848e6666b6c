// The X11 editor window in an XEmbed embedder and under a host loop that
// calls the connection's handler far more often than anything arrives.

// GoogleTest first: Xlib's macros (None, Bool) would break its headers.
#include <gtest/gtest.h>

#include "TestDeadline.h"
#include "ProbeControl.h"
#include "RecordingPlug.h"
#include "XEmbedTestHost.h"
#include "XTestInput.h"

#include "gui/x11/EditorX11.h"
#include "gui/x11/X11Connection.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace {

class EditorX11Embedded : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = std::make_unique<XEmbedTestHost>();
        ASSERT_TRUE(host->Ok()) << "no X server (DISPLAY)";
        plug = std::make_unique<RecordingPlug>();
        editor = new EditorX11(plug.get(), 200, 100, 25);
        editor->AddControl(new ProbeControl(plug.get(), Bounds(0, 0, 200, 100)));
        plug->AttachEditor(editor);
        ASSERT_NE(editor->CreateEditorWindow(host->ParentHandle()), nullptr);
        std::string why;
        ASSERT_TRUE(host->Embed(why)) << why;
    }

    void TearDown() override
    {
        plug.reset();
        host.reset();
    }

    // The editor reads what the server has for it until `done` holds; a
    // loaded machine may take a while.
    bool PumpUntil(const std::function<bool()>& done)
    {
        return TestDeadline::Until(done, [&]() {
            XSync(host->GetDisplay(), False);
            editor->Pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        });
    }

    std::unique_ptr<XEmbedTestHost> host;
    std::unique_ptr<RecordingPlug> plug;
    EditorX11* editor = nullptr;   // owned by the plug
};

TEST_F(EditorX11Embedded, AnnouncesItselfAndFollowsWhatTheEmbedderTellsIt)
{
    EXPECT_EQ(host->Client(), editor->NativeWindow());
    EXPECT_EQ(host->ClientVersion(), 0);
    EXPECT_EQ(host->ClientFlags(), XEmbedTestHost::kMappedFlag);
    ASSERT_TRUE(PumpUntil([&]() { return editor->Embedding().Embedded(); }));
    EXPECT_EQ(editor->Embedding().Embedder(), host->Parent());
    EXPECT_EQ(editor->Embedding().Version(), 0);
    EXPECT_FALSE(editor->Embedding().Active());
    EXPECT_FALSE(editor->Embedding().Focused());

    host->Send(XEmbedTestHost::kWindowActivate);
    EXPECT_TRUE(PumpUntil([&]() { return editor->Embedding().Active(); }));
    host->Send(XEmbedTestHost::kFocusIn, XEmbedTestHost::kFocusFirst);
    EXPECT_TRUE(PumpUntil([&]() { return editor->Embedding().Focused(); }));
    // Messages the editor has no use for change nothing.
    host->Send(12, 0, 1, 2);
    host->Send(XEmbedTestHost::kFocusOut);
    EXPECT_TRUE(PumpUntil([&]() { return !editor->Embedding().Focused(); }));
    EXPECT_TRUE(editor->Embedding().Active());
    host->Send(XEmbedTestHost::kWindowDeactivate);
    EXPECT_TRUE(PumpUntil([&]() { return !editor->Embedding().Active(); }));
    EXPECT_TRUE(editor->Embedding().Embedded());
    EXPECT_TRUE(plug->events.empty());
}

TEST_F(EditorX11Embedded, MovedIntoAnotherWindowItPassesKeysOnToItsNewParent)
{
    Display* d = host->GetDisplay();
    ASSERT_TRUE(PumpUntil([&]() { return editor->Embedding().Embedded(); }));
    const Window socket = host->MakeWindow(300, 200);
    XSelectInput(d, socket, KeyPressMask);
    XReparentWindow(d, editor->NativeWindow(), socket, 20, 10);
    XMapWindow(d, editor->NativeWindow());
    ASSERT_TRUE(PumpUntil([&]() { return editor->ParentWindow() == socket; }));
    // Embedded anew only once the new embedder says so.
    EXPECT_FALSE(editor->Embedding().Embedded());

    XTestInput input(d);
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(d, editor->NativeWindow(), DefaultRootWindow(d), 50, 50, &x, &y, &child);
    input.MoveTo(x, y);
    input.Key(XK_F7);
    XKeyEvent forwarded = {};
    EXPECT_TRUE(PumpUntil([&]() {
        XEvent e;
        if (!XCheckWindowEvent(d, socket, KeyPressMask, &e))
            return false;
        forwarded = e.xkey;
        return true;
    }));
    EXPECT_EQ(forwarded.keycode, XKeysymToKeycode(d, XK_F7));
    EXPECT_EQ(forwarded.x, 70);
    EXPECT_EQ(forwarded.y, 60);
}

TEST_F(EditorX11Embedded, AHostLoopCallingAtIdleCostsNoRequests)
{
    X11Connection& connection = X11Connection::Shared();
    Display* own = connection.GetDisplay();
    ASSERT_NE(own, nullptr);
    ASSERT_TRUE(PumpUntil([&]() { return editor->Embedding().Embedded(); }));
    // Whatever is still on its way is read first.
    XSync(host->GetDisplay(), False);
    XSync(own, False);
    connection.Dispatch();
    ASSERT_EQ(XEventsQueued(own, QueuedAfterReading), 0);

    // Three thousand calls, about a second of a busy host's loop.
    const unsigned long before = XNextRequest(own);
    for (int i = 0; i < 3000; ++i)
        connection.OnFdReadable(connection.Fd());
    EXPECT_EQ(XNextRequest(own) - before, 0u);

    // What does arrive is still read by the next call.
    host->Send(XEmbedTestHost::kFocusIn, XEmbedTestHost::kFocusFirst);
    TestDeadline::Until([&]() { return editor->Embedding().Focused(); },
                        [&]() {
        connection.OnFdReadable(connection.Fd());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    EXPECT_TRUE(editor->Embedding().Focused());
}

}   // namespace
