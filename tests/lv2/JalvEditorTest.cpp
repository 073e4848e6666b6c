// The LV2 editor in jalv.gtk3 as a user meets it: on a private X server and a
// private JACK server (dummy driver), with LV2_PATH holding Tidepull.lv2
// alone. The window is compared with tidepull-snapshot's picture of the same
// settings; the value a drag sets is read from the state jalv saves, and
// shown again when jalv starts from that state.

// GoogleTest first: Xlib's macros (None, Bool) would break its headers.
#include <gtest/gtest.h>

#include "JalvSession.h"
#include "posix/ChildProcess.h"
#include "SnapshotPicture.h"
#include "TempFolderTest.h"
#include "XTestInput.h"

#include "gui/Editor.h"
#include "gui/KnobControl.h"
#include "plug/Tidepull.h"
#include "plug/TidepullEditorLayout.h"

#include <X11/Xatom.h>

#include <cmath>
#include <filesystem>
#include <regex>
#include <sstream>

namespace {

struct Setting {
    const char* symbol;   // the LV2 port's
    int32_t param;
    double value;
};

std::string Number(double v)
{
    std::ostringstream text;
    text.precision(9);
    text << v;
    return text.str();
}

// A port's value in Turtle that jalv wrote ("pset:value") or in what it
// printed ("symbol = value"); NaN when it is not there.
double ValueIn(const std::string& text, const std::string& pattern)
{
    std::smatch m;
    if (!std::regex_search(text, m, std::regex(pattern)))
        return std::nan("");
    return std::stod(m[1]);
}

class JalvGtk3 : public TempFolderTest {
protected:
    void SetUp() override
    {
#if defined(TIDEPULL_SANITIZED)
        // jalv itself is not instrumented: it can not load the instrumented modules.
        GTEST_SKIP() << "a sanitizer build's modules load only into an instrumented host";
#endif
        for (const char* program : {"jalv.gtk3", "jackd", "jack_wait"}) {
            if (SpawnedProcess::Find(program).empty())
                GTEST_SKIP() << program << " is not installed (Debian packages jalv and jackd2)";
        }
        TempFolderTest::SetUp();
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "no X server (DISPLAY)";
        lv2Path = path("lv2");
        std::filesystem::create_directory(lv2Path);
        std::filesystem::create_directory_symlink(TIDEPULL_LV2_BUNDLE, lv2Path + "/Tidepull.lv2");
    }

    void TearDown() override
    {
        if (display)
            XCloseDisplay(display);
        TempFolderTest::TearDown();
    }

    // The snapshot tool's picture with these settings at this scale.
    std::vector<uint32_t> Snapshot(const std::vector<Setting>& settings, const char* scale, int& w, int& h) const
    {
        std::vector<std::string> options{"--scale", scale};
        for (const Setting& s : settings) {
            options.push_back("--set");
            options.push_back(std::string(reference.ParamAt(s.param)->Name()) + "=" + Number(s.value));
        }
        return SnapshotPicture(TIDEPULL_SNAPSHOT_EXE, options, w, h);
    }

    // The desktop's resolution, as the editor finds it with no scale from the host.
    void SetDesktopDpi(const char* dpi)
    {
        const std::string resources = std::string("Xft.dpi:\t") + dpi + "\n";
        XChangeProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(resources.data()), static_cast<int>(resources.size()));
        XSync(display, False);
    }

    Display* display = nullptr;
    std::string lv2Path;
    // The plug built into the test: its parameters and where its knobs are.
    Tidepull reference;
};

TEST_F(JalvGtk3, TheEditorIsEmbeddedTakesADragAndShowsTheSavedValueWhenJalvStartsAgain)
{
    std::vector<Setting> settings{
        {"ac_threshold", Tidepull::kAcThreshold, 20.0},
        {"mix", Tidepull::kMix, 60.0},
        {"output", Tidepull::kOutput, -6.0},
    };
    // Dragged 20 pixels up, the threshold knob moves 20 / (height * gearing)
    // of its range.
    const auto* editor = dynamic_cast<const Editor*>(reference.GetEditor());
    ASSERT_NE(editor, nullptr);
    const auto* knob = dynamic_cast<const KnobControl*>(editor->GetControl(TidepullEditorLayout::kAcThresholdKnob));
    ASSERT_NE(knob, nullptr);
    const Bounds knobRect = knob->Rect();
    const int drag = 20;
    const ParamRecord& threshold = *reference.ParamAt(Tidepull::kAcThreshold);
    const double moved = threshold.PlainOf(threshold.NormalizedOf(settings[0].value) +
                                           drag / (knob->Gearing() * (knobRect.bottom - knobRect.top)));
    std::vector<Setting> after = settings;
    after[0].value = moved;

    int w = 0, h = 0, w15 = 0, h15 = 0;
    const std::vector<uint32_t> before = Snapshot(settings, "1", w, h);
    const std::vector<uint32_t> dragged = Snapshot(after, "1", w, h);
    const std::vector<uint32_t> dragged15 = Snapshot(after, "1.5", w15, h15);
    ASSERT_FALSE(before.empty() || dragged.empty() || dragged15.empty()) << "tidepull-snapshot failed";
    ASSERT_EQ(std::make_pair(w, h), std::make_pair(editor->Width(), editor->Height()));
    ASSERT_NE(before, dragged);

    JackDummyServer jack(dir_.string());
    std::string why;
    ASSERT_TRUE(jack.Start(why)) << why;

    // 1. Opened with the settings on jalv's command line, the editor is a
    // window inside jalv's, of its size, showing what the tool draws.
    JalvSession first(display, dir_.string(), lv2Path, jack.Name());
    std::vector<std::string> args;
    for (const Setting& s : settings) {
        args.push_back("-c");
        args.push_back(std::string(s.symbol) + "=" + Number(s.value));
    }
    args.push_back(TIDEPULL_LV2_URI);
    ASSERT_TRUE(first.Start(args));
    const Window shown = first.AwaitEditor(w, h, before, why);
    ASSERT_NE(shown, 0u) << why;

    // 2. A drag on the threshold knob: the editor follows, and the state jalv
    // saves holds the new value of the port.
    XTestInput input(display);
    int x = 0, y = 0;
    first.ScreenPoint(shown, (knobRect.left + knobRect.right) / 2, (knobRect.top + knobRect.bottom) / 2, x, y);
    input.Drag(x, y, x, y - drag, 3);
    EXPECT_TRUE(first.AwaitPicture(shown, dragged, why)) << why;
    const std::string saved = path("session");
    ASSERT_TRUE(first.SaveState(saved, why)) << why;
    const std::string state = ChildProcess::ReadFile(saved + "/state.ttl");
    EXPECT_NEAR(ValueIn(state, "\"ac_threshold\" ;\\s*pset:value ([-+0-9.eE]+)"), moved, 1e-4) << state;
    EXPECT_NEAR(ValueIn(state, "\"mix\" ;\\s*pset:value ([-+0-9.eE]+)"), settings[1].value, 1e-4) << state;

    // 3. The window closed as a window manager closes it, jalv ends cleanly;
    // started again from its saved state, on a desktop at 144 dpi, the editor
    // shows the dragged value at one and a half times the size.
    EXPECT_EQ(first.Close(), 0) << first.Errors();
    SetDesktopDpi("144");
    JalvSession second(display, dir_.string(), lv2Path, jack.Name());
    ASSERT_TRUE(second.Start({"-l", saved}));
    EXPECT_NE(second.AwaitEditor(w15, h15, dragged15, why), 0u) << why;
    EXPECT_EQ(second.Close(), 0) << second.Errors();
    EXPECT_NEAR(ValueIn(second.Output(), "ac_threshold = ([-+0-9.eE]+)"), moved, 1e-4) << second.Output();
}

}   // namespace
