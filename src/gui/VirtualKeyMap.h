#pragma once

#include "gui/KeyCode.h"

#include <cstdint>

// Turns the window system's virtual key numbers into the key codes controls
// understand. The numbering is the Windows one; other window systems translate
// their key symbols into it first, so that every platform maps keys alike.
class VirtualKeyMap {
public:
    static constexpr int32_t kBack = 8;
    static constexpr int32_t kTab = 9;
    static constexpr int32_t kReturn = 13;
    static constexpr int32_t kEscape = 27;
    static constexpr int32_t kSpace = 32;
    static constexpr int32_t kLeft = 37;
    static constexpr int32_t kUp = 38;
    static constexpr int32_t kRight = 39;
    static constexpr int32_t kDown = 40;
    static constexpr int32_t kDigit0 = 48;
    static constexpr int32_t kLetterA = 65;
    static constexpr int32_t kF1 = 112;
    static constexpr int32_t kF12 = 123;

    // kKeyNone for keys no control is offered; those go to the host.
    static KeyCode Map(int32_t virtualKey);
};
