#pragma once

// The adaptor a plug derives from in the LV2 UI module: the plug there holds
// the parameters and the editor, and never processes.
#include "lv2/Lv2UiPlug.h"

using FormatPlug = Lv2UiPlug;
