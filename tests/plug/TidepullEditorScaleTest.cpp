// The Tidepull editor at display scales above 1: the same gesture gives the
// same value at every scale, the double-scale picture is the double-density
// artwork, and a scale set through the host's view resizes through the frame
// and redraws.
#include "RecordingComponentHandler.h"
#include "TestHostContext.h"
#include "ViewHostFrame.h"

#include "gui/WindowHost.h"
#include "pix/EmbeddedResource.h"
#include "pix/PIX_IBitmap.h"
#include "pix/PIX_Png.h"
#include "pix/PIX_SysBitmap.h"
#include "plug/Tidepull.h"
#include "plug/TidepullEditorLayout.h"
#include "vst3/Vst3EditorView.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

using Layout = TidepullEditorLayout;

class TidepullEditorScale : public ::testing::Test {
protected:
    void SetUp() override
    {
        plug = new Tidepull();
        ASSERT_EQ(plug->initialize(&host), kResultOk);
        ASSERT_EQ(plug->setComponentHandler(&handler), kResultOk);
        editor = dynamic_cast<WindowHost*>(plug->GetEditor());
        ASSERT_NE(editor, nullptr);
    }

    void TearDown() override
    {
        plug->setComponentHandler(nullptr);
        plug->terminate();
        plug->release();
    }

    TestHostContext host;
    RecordingComponentHandler handler;
    Tidepull* plug = nullptr;
    WindowHost* editor = nullptr;
};

std::unique_ptr<PIX_IBitmap> DoubleDensityStrip(int id)
{
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (!FindEmbeddedResource(id + 2000, &data, &size))
        return nullptr;
    return std::unique_ptr<PIX_IBitmap>(PIX_PngFromMemory(data, size));
}

}   // namespace

TEST(TidepullEditorScaleGesture, ADragOfNLogicalPixelsChangesTheParameterAlikeAtEveryScale)
{
    double atOne = -1.0;
    for (double scale : {1.0, 1.25, 1.5, 1.75, 2.0}) {
        SCOPED_TRACE(scale);
        TestHostContext host;
        RecordingComponentHandler handler;
        Tidepull* plug = new Tidepull();
        ASSERT_EQ(plug->initialize(&host), kResultOk);
        ASSERT_EQ(plug->setComponentHandler(&handler), kResultOk);
        auto* editor = dynamic_cast<WindowHost*>(plug->GetEditor());
        ASSERT_NE(editor, nullptr);
        editor->SetDisplayScale(DisplayScale::FromFactor(scale));
        EXPECT_EQ(editor->DeviceWidth(), DisplayScale::FromFactor(scale).DeviceLength(Layout::kWidth));

        const Bounds r = editor->Scale().ToDevice(editor->GetControl(Layout::kAcThresholdKnob)->Rect());
        const int32_t x = (r.left + r.right) / 2;
        const int32_t y = (r.top + r.bottom) / 2;
        const int32_t q = editor->Scale().Quarters();
        MouseModifiers none;
        MouseModifiers held;
        held.left = true;
        editor->OnMouseDown(kMouseLeft, x, y, none);
        for (int32_t up = 4; up <= 40; up += 4)
            editor->OnMouseMove(x, y - up * q / 4, held);
        editor->OnMouseUp(kMouseLeft, x, y - 40 * q / 4, none);
        const double value = plug->ParamAt(Tidepull::kAcThreshold)->Value();
        if (atOne < 0.0)
            atOne = value;
        EXPECT_EQ(value, atOne);
        // The wheel too: three notches over the knob.
        editor->OnMouseWheel(x, y, none, 3 * WindowHost::kWheelDelta);
        EXPECT_NE(plug->ParamAt(Tidepull::kAcThreshold)->Value(), value);

        plug->setComponentHandler(nullptr);
        plug->terminate();
        plug->release();
    }
    // 40 logical pixels of a 50-pixel knob geared 4: a fifth of the range.
    EXPECT_NEAR(atOne, 50.0 * 40.0 / 200.0, 1e-9);
}

TEST_F(TidepullEditorScale, AtTwiceTheScaleThePanelIsTheDoubleDensityArtwork)
{
    ASSERT_TRUE(editor->SetDisplayScale(DisplayScale::FromFactor(2.0)));
    editor->Render(Bounds(0, 0, editor->Width(), editor->Height()));
    const PIX_SysBitmap* surface = editor->DrawingSurface();
    ASSERT_NE(surface, nullptr);
    ASSERT_EQ(surface->Width(), 2002);
    ASSERT_EQ(surface->Height(), 540);
    std::unique_ptr<PIX_IBitmap> panel = DoubleDensityStrip(106);
    ASSERT_NE(panel, nullptr);
    // The title plate, where no control lies: the artwork pixel for pixel.
    for (int32_t y = 60; y < 260; ++y) {
        const PIX_Pixel32* shown = PIX_RowPointer(*surface, surface->Pixels(), y);
        const PIX_Pixel32* art = PIX_RowPointer(*panel, panel->Pixels(), y);
        for (int32_t x = 120; x < 1160; ++x)
            ASSERT_EQ(shown[x] & 0xFFFFFFu, art[x] & 0xFFFFFFu) << x << "," << y;
    }
    // The "Bypass" lamp (lit at the defaults) is its second double-density
    // frame, where the lamp is opaque.
    std::unique_ptr<PIX_IBitmap> lamp = DoubleDensityStrip(108);
    ASSERT_NE(lamp, nullptr);
    const Bounds r = editor->GetControl(Layout::kBypassSwitch)->Rect();
    const int32_t cx = r.Width();   // the centre of the 2x frame
    const PIX_Pixel32 art = PIX_RowPointer(*lamp, lamp->Pixels(), 2 * r.Height() + cx)[cx];
    ASSERT_EQ(art >> 24, 0xFFu);
    const PIX_Pixel32 shown = PIX_RowPointer(*surface, surface->Pixels(), 2 * r.top + cx)[2 * r.left + cx];
    EXPECT_EQ(shown & 0xFFFFFFu, art & 0xFFFFFFu);
}

TEST_F(TidepullEditorScale, TheHostsScaleResizesThroughTheFrameAndRedraws)
{
    IPlugView* view = plug->createView(ViewType::kEditor);
    ASSERT_NE(view, nullptr);
    ViewHostFrame frame;
    view->setFrame(&frame);
    IPlugViewContentScaleSupport* scaling = nullptr;
    ASSERT_EQ(view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)), kResultOk);
    ASSERT_NE(scaling, nullptr);

    ViewRect size;
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right, 1001);
    EXPECT_EQ(size.bottom, 270);

    editor->Render(Bounds(0, 0, editor->Width(), editor->Height()));
    Bounds dirty;
    ASSERT_FALSE(editor->CollectDirty(dirty));

    EXPECT_EQ(scaling->setContentScaleFactor(1.5f), kResultOk);
    ASSERT_EQ(frame.Resizes().size(), 1u);
    EXPECT_EQ(frame.Resizes()[0].view, view);
    EXPECT_EQ(frame.Resizes()[0].rect.right, 1502);
    EXPECT_EQ(frame.Resizes()[0].rect.bottom, 405);
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right, 1502);
    EXPECT_EQ(size.bottom, 405);
    // Everything is drawn again, on a surface of the new size.
    ASSERT_TRUE(editor->CollectDirty(dirty));
    EXPECT_EQ(dirty, Bounds(0, 0, 1001, 270));
    EXPECT_EQ(editor->DrawingSurface()->Width(), 1502);

    // The same scale again, or one that rounds to it: no new request.
    EXPECT_EQ(scaling->setContentScaleFactor(1.55f), kResultOk);
    EXPECT_EQ(frame.Resizes().size(), 1u);
    // Not a scale at all.
    EXPECT_EQ(scaling->setContentScaleFactor(0.0f), kInvalidArgument);
    EXPECT_EQ(scaling->setContentScaleFactor(-1.0f), kInvalidArgument);
    EXPECT_EQ(editor->Scale().Quarters(), 6);
    // Back to 1: the editor's own size.
    EXPECT_EQ(scaling->setContentScaleFactor(1.0f), kResultOk);
    ASSERT_EQ(frame.Resizes().size(), 2u);
    EXPECT_EQ(frame.Resizes()[1].rect.right, 1001);

    scaling->release();
    view->release();
}
