#include "plug/TidepullEditorLayout.h"

#include "gui/BitmapControl.h"
#include "gui/Editor.h"
#include "gui/PlatformEditor.h"
#include "gui/StripKnobControl.h"
#include "gui/SwitchControl.h"
#include "plug/Tidepull.h"

namespace {

enum class Kind { kBackground, kKnob, kMeter, kSwitch };

struct Role {
    Kind kind;
    int32_t paramIdx;
};

// What each strip of the table is, in its order.
constexpr Role kRoles[] = {
    {Kind::kBackground, -1},
    {Kind::kKnob, Tidepull::kInputAtten},
    {Kind::kKnob, Tidepull::kOutput},
    {Kind::kKnob, Tidepull::kAcThreshold},
    {Kind::kKnob, Tidepull::kDcThreshold},
    {Kind::kKnob, Tidepull::kRelease},
    {Kind::kKnob, Tidepull::kHpf},
    {Kind::kKnob, Tidepull::kMix},
    {Kind::kMeter, -1},
    {Kind::kSwitch, Tidepull::kBypass},
    {Kind::kSwitch, Tidepull::kExternalSidechain},
};
static_assert(sizeof kRoles / sizeof kRoles[0] == kEditorStripCount, "a role for every strip");
static_assert(kEditorStripCount == TidepullEditorLayout::kControlCount, "a control for every strip");
static_assert(kDoubleDensityIdOffset == Editor::kDoubleDensityIdOffset, "the editor finds the 2x strips");

constexpr double kKnobGearing = 4.0;

}   // namespace

void TidepullEditorLayout::Build(Tidepull& plug)
{
    Editor* editor = CreatePlatformEditor(&plug, kWidth, kHeight, kFrameRate);
    for (int32_t i = 0; i < kEditorStripCount; ++i) {
        const StripPlacement& p = kEditorStrips[i];
        const Role& role = kRoles[i];
        if (role.kind == Kind::kBackground) {
            editor->AddBackground(p.resourceId, p.file);
            continue;
        }
        const BitmapStrip strip = editor->LoadStrip(p.resourceId, p.file, p.frames);
        switch (role.kind) {
        case Kind::kKnob:
            editor->AddControl(
                new StripKnobControl(&plug, p.x, p.y, role.paramIdx, strip, kKnobVertical, kKnobGearing));
            break;
        case Kind::kMeter:
            // The audio side writes the gain reduction into it by index.
            plug.SetMeterControlIndex(
                editor->AddControl(new BitmapControl(&plug, p.x, p.y, -1, strip, kBlendSourceAlpha)));
            break;
        case Kind::kSwitch:
            editor->AddControl(new SwitchControl(&plug, p.x, p.y, role.paramIdx, strip, kBlendSourceAlpha));
            break;
        case Kind::kBackground: break;
        }
    }
    plug.AttachEditor(editor);
}
