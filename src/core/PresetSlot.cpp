#include "core/PresetSlot.h"

#include "core/FixedText.h"

PresetSlot::PresetSlot()
{
    CopyFixedText(name, "empty");
}
