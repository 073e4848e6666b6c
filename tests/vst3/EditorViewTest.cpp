// The editor view inside the process: its answers before and without a
// window, the effect's views list, and the resize requests that only the
// editor itself can start.
#include "TestHostContext.h"
#include "ViewHostFrame.h"
#include "ViewMenuHandler.h"

#include "gui/Editor.h"
#include "plug/Tidepull.h"
#include "vst3/Vst3EditorView.h"

#include "pluginterfaces/gui/iplugview.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The plug, counting how often the view opens and closes its editor.
class CountingTidepull : public Tidepull {
public:
    void OnEditorOpen() override { ++opened; }
    void OnEditorClose() override { ++closed; }
    int opened = 0;
    int closed = 0;
};

// An effect without an editor.
class BarePlug : public Vst3Plug {
public:
    BarePlug() : Vst3Plug(1, "2-2", 1, "Bare", "Bare", "Maker", 0x10000, 0x42617265, 0x4D6B7231)
    {
        ParamAt(0)->InitContinuous("Gain", 0.0, -1.0, 1.0, 0.01, "", "", 1.0);
    }
};

class EditorView : public ::testing::Test {
protected:
    void SetUp() override
    {
        plug = new CountingTidepull();
        ASSERT_EQ(plug->initialize(&host), kResultOk);
        ASSERT_EQ(plug->setComponentHandler(&handler), kResultOk);
    }

    void TearDown() override
    {
        plug->setComponentHandler(nullptr);
        plug->terminate();
        EXPECT_EQ(plug->release(), 0u);
    }

    IPlugView* NewView() { return plug->createView(ViewType::kEditor); }

    uint32 PlugRefs()
    {
        plug->addRef();
        return plug->release();
    }

    TestHostContext host;
    ViewMenuHandler handler;
    CountingTidepull* plug = nullptr;
};

TEST_F(EditorView, OnlyTheExactNameEditorMakesAView)
{
    IPlugView* view = plug->createView("editor");
    ASSERT_NE(view, nullptr);
    view->release();
    EXPECT_EQ(plug->createView("editorial"), nullptr);
    EXPECT_EQ(plug->createView("Editor"), nullptr);
    EXPECT_EQ(plug->createView(""), nullptr);
    EXPECT_EQ(plug->createView(nullptr), nullptr);
    EXPECT_TRUE(plug->Views().empty());
}

TEST_F(EditorView, SupportsOnlyThisPlatformsWindowType)
{
    IPlugView* view = NewView();
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultOk);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeNSView), kResultFalse);
    EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID2"), kResultFalse);
    EXPECT_EQ(view->isPlatformTypeSupported(nullptr), kResultFalse);
    view->release();
}

TEST_F(EditorView, SizeIsKnownBeforeAttachingAndNullRectanglesAreHarmless)
{
    IPlugView* view = NewView();
    ViewRect size(9, 9, 9, 9);
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.left, 0);
    EXPECT_EQ(size.top, 0);
    EXPECT_EQ(size.right, 1001);
    EXPECT_EQ(size.bottom, 270);
    EXPECT_EQ(view->getSize(nullptr), kInvalidArgument);

    auto* own = static_cast<Vst3EditorView*>(view);
    ViewRect placed(10, 20, 1011, 290);
    EXPECT_EQ(view->onSize(&placed), kResultOk);
    EXPECT_EQ(view->onSize(nullptr), kResultOk);
    EXPECT_EQ(own->getRect().left, 10);
    EXPECT_EQ(own->getRect().bottom, 290);
    view->release();
}

TEST_F(EditorView, CannotBeResizedAndLeavesInputToTheWindow)
{
    IPlugView* view = NewView();
    ViewRect r(0, 0, 500, 100);
    EXPECT_EQ(view->canResize(), kResultFalse);
    EXPECT_EQ(view->checkSizeConstraint(&r), kResultFalse);
    EXPECT_EQ(view->onWheel(1.0f), kResultFalse);
    EXPECT_EQ(view->onKeyDown('a', 0, 0), kResultFalse);
    EXPECT_EQ(view->onKeyUp('a', 0, 0), kResultFalse);
    EXPECT_EQ(view->onFocus(true), kResultFalse);
    view->release();
}

TEST_F(EditorView, AnotherPlatformTypeOpensNoWindowButCountsAsOpen)
{
    IPlugView* view = NewView();
    auto* editor = dynamic_cast<Editor*>(plug->GetEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(view->attached(reinterpret_cast<void*>(0x1234), kPlatformTypeHWND), kResultOk);
    EXPECT_FALSE(editor->IsWindowOpen());
    EXPECT_EQ(plug->opened, 1);
    EXPECT_EQ(view->removed(), kResultOk);
    EXPECT_EQ(plug->closed, 1);
    view->release();
}

TEST_F(EditorView, HoldsTheEffectUntilReleasedThenEmptiesTheList)
{
    const uint32 before = PlugRefs();
    IPlugView* view = NewView();
    EXPECT_EQ(PlugRefs(), before + 1);
    ASSERT_EQ(plug->Views().size(), 1u);
    EXPECT_EQ(plug->Views()[0], view);

    ViewHostFrame frame;
    view->setFrame(&frame);
    view->release();
    EXPECT_EQ(PlugRefs(), before);
    EXPECT_TRUE(plug->Views().empty());
    plug->ResizeEditor(640, 200);
    EXPECT_TRUE(frame.Resizes().empty());
}

TEST_F(EditorView, ResizeEditorAsksTheFirstViewsFrameAndOnSizeAnswers)
{
    IPlugView* first = NewView();
    IPlugView* second = NewView();
    ViewHostFrame frame1;
    ViewHostFrame frame2;
    first->setFrame(&frame1);
    second->setFrame(&frame2);

    plug->ResizeEditor(640, 200);
    ASSERT_EQ(frame1.Resizes().size(), 1u);
    EXPECT_TRUE(frame2.Resizes().empty());
    EXPECT_EQ(frame1.Resizes()[0].view, first);
    const ViewRect& r = frame1.Resizes()[0].rect;
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 640);
    EXPECT_EQ(r.bottom, 200);

    auto* view = static_cast<Vst3EditorView*>(first);
    EXPECT_TRUE(view->ExpectingNewSize());
    ViewRect answer(0, 0, 640, 200);
    first->onSize(&answer);
    EXPECT_FALSE(view->ExpectingNewSize());

    second->release();
    first->release();
}

TEST_F(EditorView, ResizeWithoutAFrameOnlyMarksTheView)
{
    IPlugView* view = NewView();
    plug->ResizeEditor(300, 100);
    EXPECT_TRUE(static_cast<Vst3EditorView*>(view)->ExpectingNewSize());
    view->release();
}

TEST_F(EditorView, ReleasingTheFirstOfTwoViewsLeavesNoneForResizeOrContextMenus)
{
    IPlugView* first = NewView();
    IPlugView* second = NewView();
    ViewHostFrame frame;
    second->setFrame(&frame);
    ASSERT_EQ(second->attached(reinterpret_cast<void*>(0x99), kPlatformTypeHWND), kResultOk);

    first->release();
    EXPECT_TRUE(plug->Views().empty());
    plug->ResizeEditor(640, 200);
    EXPECT_TRUE(frame.Resizes().empty());
    plug->PopupParamContextMenu(2, 10, 10);
    EXPECT_TRUE(handler.Requests().empty());

    second->removed();
    second->release();
}

TEST_F(EditorView, ContextMenuGoesToTheHostForTheFirstView)
{
    IPlugView* first = NewView();
    IPlugView* second = NewView();
    plug->PopupParamContextMenu(4, 30, 40);
    ASSERT_EQ(handler.Requests().size(), 1u);
    EXPECT_EQ(handler.Requests()[0].view, first);
    EXPECT_TRUE(handler.Requests()[0].hasId);
    EXPECT_EQ(handler.Requests()[0].id, 4u);
    EXPECT_EQ(handler.Menu().Popups(), 1);
    EXPECT_EQ(handler.Menu().LastX(), 30);
    EXPECT_EQ(handler.Menu().LastY(), 40);
    EXPECT_EQ(handler.Menu().RefCount(), 1u);
    second->release();
    first->release();
}

TEST(EditorViewWithoutEditor, RefusesWhatNeedsAnEditor)
{
    auto* plug = new BarePlug();
    IPlugView* view = plug->createView(ViewType::kEditor);
    ASSERT_NE(view, nullptr);
    ViewRect r;
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_EQ(view->attached(reinterpret_cast<void*>(0x1), kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_EQ(view->getSize(&r), kResultFalse);
    EXPECT_EQ(view->onSize(&r), kResultOk);
    EXPECT_EQ(view->removed(), kResultOk);
    view->release();
    plug->ResizeEditor(10, 10);
    EXPECT_EQ(plug->release(), 0u);
}

}   // namespace
