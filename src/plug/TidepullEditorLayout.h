#pragma once

#include <cstdint>

class Tidepull;

// The Tidepull editor: the panel, seven knobs, the gain-reduction meter and
// two switches, each drawn from its bitmap strip at a fixed place.
class TidepullEditorLayout {
public:
    static constexpr int32_t kWidth = 1001;
    static constexpr int32_t kHeight = 270;
    static constexpr int32_t kFrameRate = 25;

    // Indexes in the editor's control list, in the order they are made.
    enum ControlIndex : int32_t {
        kBackground = 0,
        kInputKnob,
        kOutputKnob,
        kAcThresholdKnob,
        kDcThresholdKnob,
        kReleaseKnob,
        kHpfKnob,
        kMixKnob,
        kMeter,
        kBypassSwitch,
        kSidechainSwitch,
        kControlCount
    };

    // Builds the editor, tells the plug where its meter is and attaches the
    // editor to it. No window opens.
    static void Build(Tidepull& plug);
};
