// The editor as an LV2 host meets it: the UI module the bundle's Turtle
// names, embedded in a window of the test's on a private X server, against
// the VST 3 build's editor drawn in memory.

// GoogleTest first: Xlib's macros (None, Bool) would break its headers.
#include <gtest/gtest.h>

#include "Lv2Host.h"
#include "Lv2UiHost.h"
#include "SnapshotPicture.h"
#include "PlugHarness.h"
#include "TestDeadline.h"
#include "X11TestHost.h"
#include "XTestInput.h"

#include "gui/DisplayScale.h"
#include "gui/Editor.h"
#include "pix/PIX_SysBitmap.h"
#include "plug/TidepullEditorLayout.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using Offer = Lv2UiHost::Offer;

struct Setting {
    const char* symbol;
    float value;
};

int32_t ParamOf(const std::string& symbol)
{
    return static_cast<int32_t>(Lv2Host::PortIndex(symbol) - Lv2Host::PortIndex("input_atten"));
}

// The VST 3 build's plug and editor, never given a window.
struct Reference {
    PlugPtr plug = MakeHostedPlug(48000.0);

    Editor& editor() const { return *static_cast<Editor*>(plug->GetEditor()); }
    void Set(const Setting& s)
    {
        plug->SetParameterFromHost(ParamOf(s.symbol), plug->ParamAt(ParamOf(s.symbol))->NormalizedOf(s.value));
    }
    // The whole editor at a scale, 0xRRGGBB per device pixel.
    std::vector<uint32_t> Picture(double scale) const
    {
        editor().SetHostDisplayScale(DisplayScale::FromFactor(scale));
        editor().Render(Bounds(0, 0, editor().Width(), editor().Height()));
        const PIX_SysBitmap& surface = *editor().DrawingSurface();
        std::vector<uint32_t> pixels;
        for (int32_t y = 0; y < editor().DeviceHeight(); ++y) {
            const PIX_Pixel32* row = PIX_RowPointer(surface, surface.Pixels(), y);
            for (int32_t x = 0; x < editor().DeviceWidth(); ++x)
                pixels.push_back(row[x] & 0xFFFFFFu);
        }
        return pixels;
    }
};

class Lv2Ui : public ::testing::Test {
protected:
    void SetUp() override
    {
        x = std::make_unique<X11TestHost>(false);
        ASSERT_TRUE(x->Ok()) << "no X server (DISPLAY)";
    }

    // A UI sent every parameter port's value, as hosts do once it is up.
    std::unique_ptr<Lv2UiHost> Open(const Offer& offer = Offer())
    {
        auto ui = std::make_unique<Lv2UiHost>(x->GetDisplay(), x->Parent(), offer);
        for (int32_t i = 0; ui->Ok() && i < reference.plug->ParamCount(); ++i)
            ui->PortEvent(Lv2Host::SymbolAt(Lv2Host::PortIndex("input_atten") + i),
                          static_cast<float>(reference.plug->ParamAt(i)->Value()));
        return ui;
    }

    std::vector<uint32_t> Shown(const Lv2UiHost& ui) const
    {
        return x->Picture(ui.Widget(), 0, 0, reference.editor().DeviceWidth(), reference.editor().DeviceHeight());
    }

    // Idles the UI (or, with idle false, only waits) until its window shows
    // `expected`; the pixels that still differ at the deadline.
    size_t Differing(Lv2UiHost& ui, const std::vector<uint32_t>& expected, bool idle = true)
    {
        std::vector<uint32_t> shown;
        const auto deadline = TestDeadline::Clock::now() + TestDeadline::Limit();
        while ((shown = Shown(ui)) != expected && TestDeadline::Clock::now() < deadline)
            idle ? (void)ui.Idle() : x->Run(10);
        return DifferentPixels(shown, expected);
    }

    std::unique_ptr<X11TestHost> x;
    Reference reference;
};

}   // namespace

// The editor opens as a child of the host's window at its size for the
// host's scale (or the desktop's, 1 on this server), tells the host that
// size and draws what the VST 3 editor draws; a scale given later through
// the options interface resizes it. Closed, it leaves no window and no
// descriptor behind. A host that never calls idle() still sees the first
// picture; without a parent there is no UI.
TEST_F(Lv2Ui, EmbedsAtEachScaleDrawsTheVst3EditorAndClosesCleanly)
{
    Offer orphan;
    orphan.parent = false;
    EXPECT_FALSE(Open(orphan)->Ok());

    const struct {
        double option;
        bool asDouble;
        double scale;
    } cases[] = {{0.0, false, 1.0}, {1.0, false, 1.0}, {1.5, false, 1.5}, {2.0, true, 2.0}, {3.0, false, 2.0}};
    int descriptors = -1;
    for (const auto& c : cases) {
        SCOPED_TRACE("scale option " + std::to_string(c.option));
        Offer offer;
        offer.scale = c.option;
        offer.scaleAsDouble = c.asDouble;
        auto ui = Open(offer);
        ASSERT_TRUE(ui->Ok());
        EXPECT_EQ(x->ChildrenOf(x->Parent()), std::vector<Window>{ui->Widget()});
        const std::vector<uint32_t> expected = reference.Picture(c.scale);
        const std::string size =
            std::to_string(reference.editor().DeviceWidth()) + "x" + std::to_string(reference.editor().DeviceHeight());
        XWindowAttributes a;
        ASSERT_TRUE(XGetWindowAttributes(x->GetDisplay(), ui->Widget(), &a));
        EXPECT_EQ(std::to_string(a.width) + "x" + std::to_string(a.height), size);
        ASSERT_FALSE(ui->log.empty());
        EXPECT_EQ(ui->log.back(), "resize " + size);
        EXPECT_EQ(Differing(*ui, expected, c.option != 1.0), 0u);
        EXPECT_EQ(ui->Idle(), 0);

        ASSERT_EQ(ui->SetScale(2.0f), static_cast<uint32_t>(LV2_OPTIONS_SUCCESS));
        const std::vector<uint32_t> twice = reference.Picture(2.0);
        EXPECT_EQ(ui->log.back(),
                  "resize " + std::to_string(reference.editor().DeviceWidth()) + "x" +
                      std::to_string(reference.editor().DeviceHeight()));
        EXPECT_EQ(Differing(*ui, twice), 0u);

        ui.reset();
        XSync(x->GetDisplay(), False);
        EXPECT_TRUE(x->ChildrenOf(x->Parent()).empty());
        if (descriptors < 0)
            descriptors = OpenDescriptors();
        EXPECT_EQ(OpenDescriptors(), descriptors);
    }
}

// Parameter ports move the knobs and switches, and the gain-reduction port
// moves the meter to where the VST 3 editor's stands after the same signal.
// Events that carry no value for a parameter change nothing.
TEST_F(Lv2Ui, PortEventsShowWhatTheVst3EditorShowsAtTheSameSignal)
{
    auto ui = Open();
    ASSERT_TRUE(ui->Ok());
    const Setting settings[] = {{"input_atten", 7.5f},
                                {"release", 3.0f},
                                {"mix", 40.0f},
                                {"engage", 0.0f},
                                {"external_sidechain", 1.0f},
                                {"engage", 1.0f},
                                {"external_sidechain", 0.0f},
                                {"ac_threshold", 30.0f}};
    std::vector<std::vector<uint32_t>> pictures;
    for (const double amp : {0.02, 0.3, 0.9}) {
        SCOPED_TRACE("sine at " + std::to_string(amp));
        Signal in = Sine(12000, 1000.0, amp, 48000.0);
        // Float samples, so that both builds read the same input.
        for (size_t i = 0; i < in.size(); ++i)
            in.l[i] = in.r[i] = static_cast<float>(in.l[i]);
        Lv2Host dsp(48000.0);
        Reference vst3;
        for (const Setting& s : settings) {
            dsp.Set(s.symbol, s.value);
            vst3.Set(s);
            ui->PortEvent(s.symbol, s.value);
        }
        dsp.Process({std::vector<float>(in.l.begin(), in.l.end()), std::vector<float>(in.r.begin(), in.r.end())}, 480);
        Process(*vst3.plug, in, 480);
        ui->PortEvent("gain_reduction", dsp.Get("gain_reduction"));
        pictures.push_back(vst3.Picture(1.0));
        EXPECT_EQ(Differing(*ui, pictures.back()), 0u);
    }
    EXPECT_NE(pictures[0], pictures[1]);
    EXPECT_NE(pictures[1], pictures[2]);

    const std::vector<uint32_t> before = Shown(*ui);
    const double wide = 2.0;
    const float nan = std::nanf("");
    const float one = 1.0f;
    const uint32_t mix = Lv2Host::PortIndex("mix");
    ui->PortEvent(mix, sizeof wide, 0, &wide);
    ui->PortEvent(mix, sizeof one, 1, &one);
    ui->PortEvent(mix, sizeof one, 0, nullptr);
    for (const uint32_t port : {mix, Lv2Host::PortIndex("gain_reduction"), Lv2Host::PortIndex("in_l")})
        ui->PortEvent(port, sizeof nan, 0, &nan);
    ui->PortEvent(Lv2Host::PortIndex("enabled"), sizeof one, 0, &one);
    ui->PortEvent(1000, sizeof one, 0, &one);
    for (int i = 0; i < 5; ++i)
        ui->Idle();
    EXPECT_EQ(Shown(*ui), before);
    EXPECT_EQ(ui->log, std::vector<std::string>{"resize 1001x270"});
}

// A drag on a knob writes its port, between touch begin and end where the
// host gives ui:touch; a host listing the feature with no interface, or not
// at all, still gets the writes. The host's echo of the value moves nothing.
TEST_F(Lv2Ui, DragWritesThePortBetweenTouches)
{
    const Bounds knob = reference.editor().GetControl(TidepullEditorLayout::kAcThresholdKnob)->Rect();
    for (const auto touch : {Offer::Touch::kInterface, Offer::Touch::kNullData, Offer::Touch::kNone}) {
        SCOPED_TRACE(static_cast<int>(touch));
        Offer offer;
        offer.touch = touch;
        auto ui = Open(offer);
        ASSERT_TRUE(ui->Ok());
        ASSERT_EQ(Differing(*ui, reference.Picture(1.0)), 0u);
        ui->log.clear();
        int sx = 0, sy = 0;
        Window child = 0;
        XTranslateCoordinates(x->GetDisplay(), ui->Widget(), DefaultRootWindow(x->GetDisplay()),
                              (knob.left + knob.right) / 2, (knob.top + knob.bottom) / 2, &sx, &sy, &child);
        XTestInput(x->GetDisplay()).Drag(sx, sy, sx, sy - 40, 4);
        // Motion may arrive as one event: one write at least.
        const std::string end = touch == Offer::Touch::kInterface ? "touch ac_threshold 0" : "write ac_threshold";
        ASSERT_TRUE(ui->IdleUntil([&] { return !ui->log.empty() && ui->log.back().rfind(end, 0) == 0; }));
        std::vector<std::string> writes = ui->log;
        if (touch == Offer::Touch::kInterface) {
            ASSERT_GE(writes.size(), 3u);
            EXPECT_EQ(writes.front(), "touch ac_threshold 1");
            writes = std::vector<std::string>(writes.begin() + 1, writes.end() - 1);
        }
        float last = 0.0f;
        for (const std::string& entry : writes) {
            ASSERT_EQ(entry.rfind("write ac_threshold ", 0), 0u) << entry;
            const float v = std::stof(entry.substr(19));
            EXPECT_TRUE(v >= last && v <= 50.0f) << v;
            last = v;
        }
        EXPECT_GT(last, 5.0f);

        reference.Set({"ac_threshold", last});
        const std::vector<uint32_t> dragged = reference.Picture(1.0);
        EXPECT_EQ(Differing(*ui, dragged), 0u);
        const size_t logged = ui->log.size();
        ui->PortEvent("ac_threshold", last);
        EXPECT_EQ(Differing(*ui, dragged), 0u);
        EXPECT_EQ(ui->log.size(), logged);
        reference.Set({"ac_threshold", 0.0f});
    }
}
