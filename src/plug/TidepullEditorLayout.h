#pragma once

#include "plug/EditorStrips.h"

#include <cstdint>

class Tidepull;

// The Tidepull editor: the panel, seven knobs, the gain-reduction meter and
// two switches, each drawn from its bitmap strip at the place the strip table
// (kEditorStrips) gives.
class TidepullEditorLayout {
public:
    static constexpr int32_t kWidth = kEditorStrips[0].width;
    static constexpr int32_t kHeight = kEditorStrips[0].frameHeight;
    static constexpr int32_t kFrameRate = 25;

    // Indexes in the editor's control list, in the order they are made: the
    // strip table's order.
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
