#pragma once

#include <cstdint>

// Keys as controls see them: space, the four arrows, digits, letters.
enum KeyCode : int32_t {
    kKeyNone = -1,
    kKeySpace = 0,
    kKeyUp = 1,
    kKeyDown = 2,
    kKeyLeft = 3,
    kKeyRight = 4,
    kKeyDigit0 = 5,   // '0' to '9' are 5 to 14
    kKeyLetterA = 15,   // 'A' to 'Z' are 15 to 40
    kKeyLetterZ = 40,
};
