#pragma once

// The adaptor a plug derives from in the VST 3 build: each format's folder
// has this header, and the build target's include path picks one.
#include "vst3/Vst3Plug.h"

using FormatPlug = Vst3Plug;
