#pragma once

// Every Xlib header the editor uses, in one place. Xlib names its key code
// type KeyCode, as the editor's own key enumeration is named; here Xlib's is
// renamed so that both can be seen from one source file.
#define KeyCode XlibKeyCode
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>
#undef KeyCode
