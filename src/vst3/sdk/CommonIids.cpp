// Interface IDs of the editor interfaces. The SDK declares them in its
// headers but defines them in a source file that the packaged SDK lacks.

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

namespace Steinberg {

DEF_CLASS_IID(IPlugView)
DEF_CLASS_IID(IPlugFrame)
DEF_CLASS_IID(IPlugViewContentScaleSupport)

}   // namespace Steinberg
