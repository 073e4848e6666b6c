#include "gui/VirtualKeyMap.h"

KeyCode VirtualKeyMap::Map(int32_t vk)
{
    switch (vk) {
    case kSpace: return kKeySpace;
    case kUp: return kKeyUp;
    case kDown: return kKeyDown;
    case kLeft: return kKeyLeft;
    case kRight: return kKeyRight;
    default: break;
    }
    if (vk >= '0' && vk <= '9')
        return static_cast<KeyCode>(vk - 43);
    if (vk >= 'A' && vk <= 'Z')
        return static_cast<KeyCode>(vk - 50);
    // 97 to 122 are the lower-case letters' codes; on Windows the same numbers
    // also name keypad keys and F1 to F11, which therefore reach controls as
    // letters while F12 does not.
    if (vk >= 'a' && vk <= 'z')
        return static_cast<KeyCode>(vk - 82);
    return kKeyNone;
}
