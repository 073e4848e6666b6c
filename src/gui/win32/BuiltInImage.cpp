#include "gui/BuiltInImage.h"

// Windows libraries carry their images as module resources, which only the
// window knows how to reach (WinResourceImage).
PIX_IBitmap* LoadBuiltInImage(int32_t /*id*/, const char* /*fileName*/)
{
    return nullptr;
}
