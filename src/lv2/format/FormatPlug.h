#pragma once

// The adaptor a plug derives from in the LV2 build: each format's folder
// has this header, and the build target's include path picks one.
#include "lv2/Lv2Plug.h"

using FormatPlug = Lv2Plug;
