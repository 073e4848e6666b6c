#pragma once

#include <cstdint>

// Where an open value entry box stands. The window's timer acts on the last
// three: Refreshed is cleared, Cancel closes the box, Commit applies its text
// and closes it.
enum class TextEntryState : int32_t {
    Idle = 0,
    Editing = 1,
    Refreshed = 2,
    Cancel = 3,
    Commit = 4,
};
