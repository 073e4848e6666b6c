#pragma once

// The X headers the tests use, with Xlib's KeyCode kept apart from the
// editor's (see XlibHeaders.h).
#include "gui/x11/XlibHeaders.h"

#define KeyCode XlibKeyCode
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#undef KeyCode
