// The editor as an LV2 host meets it: the UI module the bundle's Turtle
// names, embedded in a window of the test's on a private X server, against
// the VST 3 build's editor drawn in memory.

// GoogleTest first: Xlib's macros (None, Bool) would break its headers.
#include <gtest/gtest.h>

#include "Lv2Host.h"
#include "Lv2UiHost.h"
#include "PlugHarness.h"
#include "TestDeadline.h"
#include "X11TestHost.h"
#include "XTestInput.h"

#include "gui/DisplayScale.h"
#include "gui/Editor.h"
#include "pix/PIX_SysBitmap.h"
#include "plug/TidepullEditorLayout.h"

#include <dirent.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using Layout = TidepullEditorLayout;
using Offer = Lv2UiHost::Offer;

// The VST 3 build's plug with its editor, never given a window.
class Reference {
public:
    Reference() : plug(MakeHostedPlug(48000.0)) {}

    Editor& editor() const { return *static_cast<Editor*>(plug->GetEditor()); }
    Tidepull& Plug() const { return *plug; }
    void Set(const std::string& symbol, float plain)
    {
        const int32_t idx = static_cast<int32_t>(Lv2Host::PortIndex(symbol) - Lv2Host::PortIndex("input_atten"));
        plug->SetParameterFromHost(idx, plug->ParamAt(idx)->NormalizedOf(plain));
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
    Bounds ControlRect(int32_t idx) const { return editor().GetControl(idx)->Rect(); }

private:
    PlugPtr plug;
};

class Lv2Ui : public ::testing::Test {
protected:
    void SetUp() override
    {
        x = std::make_unique<X11TestHost>(false);
        ASSERT_TRUE(x->Ok()) << "no X server (DISPLAY)";
    }

    std::unique_ptr<Lv2UiHost> Open(const Offer& offer = Offer())
    {
        auto ui = std::make_unique<Lv2UiHost>(x->GetDisplay(), x->Parent(), offer);
        // Hosts send every control port's value once the UI is up.
        if (ui->Ok()) {
            for (const char* symbol : {"input_atten", "output", "ac_threshold", "dc_threshold", "release", "hpf",
                                       "mix", "engage", "external_sidechain"})
                ui->PortEvent(symbol, reference.Plug().ParamAt(Index(symbol))->Value());
        }
        return ui;
    }

    static int32_t Index(const std::string& symbol)
    {
        return static_cast<int32_t>(Lv2Host::PortIndex(symbol) - Lv2Host::PortIndex("input_atten"));
    }

    std::vector<uint32_t> Shown(const Lv2UiHost& ui, int width, int height) const
    {
        return x->Picture(ui.Widget(), 0, 0, width, height);
    }

    // Idles the UI until its window shows `expected`; the pixels that still
    // differ at the deadline.
    size_t WaitForPicture(Lv2UiHost& ui, const std::vector<uint32_t>& expected)
    {
        const int w = reference.editor().DeviceWidth();
        const int h = reference.editor().DeviceHeight();
        std::vector<uint32_t> shown;
        ui.IdleUntil([&] { return (shown = Shown(ui, w, h)) == expected; });
        size_t differing = shown.size() == expected.size() ? 0 : expected.size();
        for (size_t i = 0; i < std::min(shown.size(), expected.size()); ++i)
            differing += shown[i] != expected[i];
        return differing;
    }

    std::unique_ptr<X11TestHost> x;
    Reference reference;
};

bool WindowSize(Display* display, Window w, int& width, int& height)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, w, &a))
        return false;
    width = a.width;
    height = a.height;
    return true;
}

int OpenDescriptors()
{
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d))
            ++n;
        closedir(d);
    }
    return n;
}

}   // namespace

// The editor opens as a child of the host's window at its size for the
// host's scale (or the desktop's, 1 on this server), tells the host that
// size, and draws what the VST 3 editor draws; a scale given later through
// the options interface resizes it.
TEST_F(Lv2Ui, EmbedsAtEachScaleAndDrawsTheVst3EditorsPicture)
{
    const struct {
        double scale;
        bool asDouble;
        double expected;
    } cases[] = {{0.0, false, 1.0}, {1.0, false, 1.0}, {1.5, false, 1.5}, {2.0, true, 2.0}, {3.0, false, 2.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE("scale option " + std::to_string(c.scale));
        Offer offer;
        offer.scale = c.scale;
        offer.scaleAsDouble = c.asDouble;
        auto ui = Open(offer);
        ASSERT_TRUE(ui->Ok());
        const std::vector<Window> children = x->ChildrenOf(x->Parent());
        EXPECT_NE(std::find(children.begin(), children.end(), ui->Widget()), children.end());
        const std::vector<uint32_t> expected = reference.Picture(c.expected);
        const int w = reference.editor().DeviceWidth();
        const int h = reference.editor().DeviceHeight();
        int width = 0, height = 0;
        ASSERT_TRUE(WindowSize(x->GetDisplay(), ui->Widget(), width, height));
        EXPECT_EQ(width, w);
        EXPECT_EQ(height, h);
        ASSERT_FALSE(ui->log.empty());
        EXPECT_EQ(ui->log.back(), "resize " + std::to_string(w) + "x" + std::to_string(h));
        EXPECT_EQ(WaitForPicture(*ui, expected), 0u);
        EXPECT_EQ(ui->Idle(), 0);

        ASSERT_EQ(ui->SetScale(2.0f), static_cast<uint32_t>(LV2_OPTIONS_SUCCESS));
        const std::vector<uint32_t> twice = reference.Picture(2.0);
        EXPECT_EQ(ui->log.back(), "resize " + std::to_string(reference.editor().DeviceWidth()) + "x" +
                      std::to_string(reference.editor().DeviceHeight()));
        EXPECT_EQ(WaitForPicture(*ui, twice), 0u);
    }
    reference.Picture(1.0);
}

// Port values move the knobs and switches; the gain-reduction port moves the
// meter to where the VST 3 editor's meter stands after the same signal.
// Echoes, other formats, non-numbers and unknown ports change nothing.
TEST_F(Lv2Ui, PortEventsShowWhatTheVst3EditorShowsAtTheSameSignal)
{
    auto ui = Open();
    ASSERT_TRUE(ui->Ok());
    const struct {
        const char* symbol;
        float value;
    } settings[] = {{"input_atten", 7.5f}, {"release", 3.0f}, {"mix", 40.0f}, {"engage", 0.0f},
                    {"external_sidechain", 1.0f}, {"engage", 1.0f}, {"ac_threshold", 30.0f}};
    for (const auto& s : settings) {
        SCOPED_TRACE(s.symbol);
        ui->PortEvent(s.symbol, s.value);
        reference.Set(s.symbol, s.value);
        EXPECT_EQ(WaitForPicture(*ui, reference.Picture(1.0)), 0u);
    }

    const double rate = 48000.0;
    const Bounds meter = reference.ControlRect(Layout::kMeter);
    std::vector<std::vector<uint32_t>> meters;
    for (const double amp : {0.02, 0.3, 0.9}) {
        SCOPED_TRACE("sine at " + std::to_string(amp));
        // Float samples, so that both builds read the same input.
        Signal in = Sine(static_cast<size_t>(rate / 4), 1000.0, amp, rate);
        for (auto* ch : {&in.l, &in.r})
            for (double& v : *ch)
                v = static_cast<float>(v);
        Lv2Host dsp(rate);
        dsp.Set("input_atten", 7.5f);
        dsp.Set("release", 3.0f);
        dsp.Set("mix", 40.0f);
        dsp.Set("ac_threshold", 30.0f);
        reference.Set("external_sidechain", 0.0f);
        ui->PortEvent("external_sidechain", 0.0f);
        dsp.Process({std::vector<float>(in.l.begin(), in.l.end()), std::vector<float>(in.r.begin(), in.r.end())}, 480);
        Reference vst3;
        for (const auto& s : settings)
            vst3.Set(s.symbol, s.value);
        vst3.Set("external_sidechain", 0.0f);
        Process(vst3.Plug(), in, 480);

        ui->PortEvent("gain_reduction", dsp.Get("gain_reduction"));
        const std::vector<uint32_t> expected = vst3.Picture(1.0);
        EXPECT_EQ(WaitForPicture(*ui, expected), 0u);
        std::vector<uint32_t> part;
        for (int32_t y = meter.top; y < meter.bottom; ++y)
            part.insert(part.end(), expected.begin() + y * reference.editor().Width() + meter.left,
                        expected.begin() + y * reference.editor().Width() + meter.right);
        meters.push_back(part);
    }
    EXPECT_NE(meters[0], meters[1]);
    EXPECT_NE(meters[1], meters[2]);

    // What the UI shows now must survive every event that carries nothing.
    const int w = reference.editor().DeviceWidth();
    const int h = reference.editor().DeviceHeight();
    const std::vector<uint32_t> before = Shown(*ui, w, h);
    const double twice = 2.0;
    const float nan = std::nanf("");
    ui->PortEvent(Lv2Host::PortIndex("mix"), sizeof twice, 0, &twice);
    ui->PortEvent(Lv2Host::PortIndex("mix"), sizeof(float), 1, &twice);
    ui->PortEvent(Lv2Host::PortIndex("mix"), sizeof(float), 0, nullptr);
    ui->PortEvent("mix", nan);
    ui->PortEvent("gain_reduction", nan);
    ui->PortEvent(Lv2Host::PortIndex("in_l"), sizeof nan, 0, &nan);
    const float one = 1.0f;
    ui->PortEvent(Lv2Host::PortIndex("enabled"), sizeof one, 0, &one);
    ui->PortEvent(1000, sizeof one, 0, &one);
    for (int i = 0; i < 5; ++i)
        ui->Idle();
    EXPECT_EQ(Shown(*ui, w, h), before);
    EXPECT_EQ(std::count_if(ui->log.begin(), ui->log.end(), [](const std::string& e) { return e.rfind("write", 0) == 0; }),
              0);
}

// A drag on a knob writes its port, between touch begin and end where the
// host gives ui:touch; a host with the feature but no interface behind it,
// or none, still gets the writes. The host's echo of the value moves nothing.
TEST_F(Lv2Ui, DragWritesThePortBetweenTouches)
{
    const Bounds knob = reference.ControlRect(Layout::kAcThresholdKnob);
    for (const auto touch : {Offer::Touch::kInterface, Offer::Touch::kNullData, Offer::Touch::kNone}) {
        SCOPED_TRACE(static_cast<int>(touch));
        Offer offer;
        offer.touch = touch;
        auto ui = Open(offer);
        ASSERT_TRUE(ui->Ok());
        ASSERT_EQ(WaitForPicture(*ui, reference.Picture(1.0)), 0u);
        ui->log.clear();
        int sx = 0, sy = 0;
        Window child = 0;
        XTranslateCoordinates(x->GetDisplay(), ui->Widget(), DefaultRootWindow(x->GetDisplay()),
                              (knob.left + knob.right) / 2, (knob.top + knob.bottom) / 2, &sx, &sy, &child);
        XTestInput input(x->GetDisplay());
        input.Drag(sx, sy, sx, sy - 40, 4);
        const bool touches = touch == Offer::Touch::kInterface;
        ASSERT_TRUE(ui->IdleUntil([&] {
            return touches ? !ui->log.empty() && ui->log.back() == "touch ac_threshold 0"
                           : !ui->log.empty() && ui->log.back().rfind("write ac_threshold", 0) == 0;
        })) << ui->log.size();
        if (touches) {
            ASSERT_GE(ui->log.size(), 3u);   // motion may come as one event
            EXPECT_EQ(ui->log.front(), "touch ac_threshold 1");
        }
        float last = 0.0f;
        int writes = 0;
        for (size_t i = touches ? 1 : 0; i + (touches ? 1 : 0) < ui->log.size(); ++i) {
            const std::string& entry = ui->log[i];
            ASSERT_EQ(entry.rfind("write ac_threshold ", 0), 0u) << entry;
            const float v = std::stof(entry.substr(19));
            EXPECT_GE(v, last);
            EXPECT_LE(v, 50.0f);
            last = v;
            ++writes;
        }
        EXPECT_GE(writes, 1);
        EXPECT_GT(last, 5.0f);

        reference.Set("ac_threshold", last);
        const std::vector<uint32_t> dragged = reference.Picture(1.0);
        EXPECT_EQ(WaitForPicture(*ui, dragged), 0u);
        const size_t logged = ui->log.size();
        ui->PortEvent("ac_threshold", last);
        EXPECT_EQ(WaitForPicture(*ui, dragged), 0u);
        EXPECT_EQ(ui->log.size(), logged);
        reference.Set("ac_threshold", 0.0f);
    }
}

// Without a parent window there is no UI. Opened and closed again and again,
// the window goes with its UI and nothing is left open; a host that never
// calls idle() still sees the editor's first picture.
TEST_F(Lv2Ui, OpensOnlyInAParentAndClosesCleanly)
{
    Offer orphan;
    orphan.parent = false;
    EXPECT_FALSE(Open(orphan)->Ok());

    const std::vector<uint32_t> expected = reference.Picture(1.0);
    const int w = reference.editor().DeviceWidth();
    const int h = reference.editor().DeviceHeight();
    int descriptors = -1;
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        {
            Offer plain;
            plain.resize = false;
            plain.idleFeature = false;
            plain.touch = Offer::Touch::kNone;
            Lv2UiHost ui(x->GetDisplay(), x->Parent(), plain);
            ASSERT_TRUE(ui.Ok());
            std::vector<uint32_t> shown;
            const auto deadline = TestDeadline::Clock::now() + TestDeadline::Limit();
            while ((shown = Shown(ui, w, h)) != expected && TestDeadline::Clock::now() < deadline)
                x->Run(10);
            EXPECT_EQ(shown, expected);
            EXPECT_TRUE(ui.log.empty());
        }
        XSync(x->GetDisplay(), False);
        EXPECT_TRUE(x->ChildrenOf(x->Parent()).empty());
        if (descriptors < 0)
            descriptors = OpenDescriptors();
        EXPECT_EQ(OpenDescriptors(), descriptors);
    }
}
