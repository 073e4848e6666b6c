// Interface IDs of the Linux run loop the editor registers with. Like the
// other editor interface IDs, the packaged SDK declares but never defines them.

#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg {

DEF_CLASS_IID(Linux::IEventHandler)
DEF_CLASS_IID(Linux::ITimerHandler)
DEF_CLASS_IID(Linux::IRunLoop)

}   // namespace Steinberg
