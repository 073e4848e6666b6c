#pragma once

// <windows.h> as the editor's Windows sources include it: no min/max macros,
// and the common controls of Windows XP and later.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#include <windows.h>
