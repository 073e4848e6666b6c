#include "plug/TidepullEditorLayout.h"

#include "gui/BitmapControl.h"
#include "gui/Editor.h"
#include "gui/PlatformEditor.h"
#include "gui/StripKnobControl.h"
#include "gui/SwitchControl.h"
#include "plug/Tidepull.h"

namespace {

enum class Kind { kKnob, kMeter, kSwitch };

struct Placement {
    Kind kind;
    int32_t resourceId;
    const char* fileName;
    int32_t frames;
    int32_t x;
    int32_t y;
    int32_t paramIdx;
};

// In creation order; the list index of each follows the background.
constexpr Placement kPlacements[] = {
    {Kind::kKnob, 101, "resources/img/IN.png", 61, 202, 207, Tidepull::kInputAtten},
    {Kind::kKnob, 102, "resources/img/OUT.png", 61, 640, 207, Tidepull::kOutput},
    {Kind::kKnob, 103, "resources/img/AC.png", 121, 535, 197, Tidepull::kAcThreshold},
    {Kind::kKnob, 104, "resources/img/DC.png", 121, 424, 197, Tidepull::kDcThreshold},
    {Kind::kKnob, 105, "resources/img/REL.png", 6, 299, 190, Tidepull::kRelease},
    {Kind::kKnob, 110, "resources/img/HPF.png", 61, 853, 207, Tidepull::kHpf},
    {Kind::kKnob, 111, "resources/img/MIX.png", 61, 639, 96, Tidepull::kMix},
    {Kind::kMeter, 107, "resources/img/METER.png", 121, 702, 33, -1},
    {Kind::kSwitch, 108, "resources/img/BY.png", 2, 781, 197, Tidepull::kBypass},
    {Kind::kSwitch, 109, "resources/img/SC.png", 2, 721, 207, Tidepull::kExternalSidechain},
};

constexpr int32_t kBackgroundId = 106;
constexpr const char* kBackgroundFile = "resources/img/BG.png";
constexpr double kKnobGearing = 4.0;

} // namespace

void TidepullEditorLayout::Build(Tidepull& plug)
{
    Editor* editor = CreatePlatformEditor(&plug, kWidth, kHeight, kFrameRate);
    editor->AddBackground(kBackgroundId, kBackgroundFile);
    for (const Placement& p : kPlacements) {
        const BitmapStrip strip = editor->LoadStrip(p.resourceId, p.fileName, p.frames);
        switch (p.kind) {
        case Kind::kKnob:
            editor->AddControl(
                new StripKnobControl(&plug, p.x, p.y, p.paramIdx, strip, kKnobVertical, kKnobGearing));
            break;
        case Kind::kMeter:
            // The audio side writes the gain reduction into it by index.
            plug.SetMeterControlIndex(
                editor->AddControl(new BitmapControl(&plug, p.x, p.y, -1, strip, kBlendSourceAlpha)));
            break;
        case Kind::kSwitch:
            editor->AddControl(new SwitchControl(&plug, p.x, p.y, p.paramIdx, strip, kBlendSourceAlpha));
            break;
        }
    }
    plug.AttachEditor(editor);
}
