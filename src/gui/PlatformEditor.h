#pragma once

#include <cstdint>

class Editor;
class PlugCore;

// The editor of this platform for a plug, with no window open yet: the one
// place that decides which window class the editor uses.
Editor* CreatePlatformEditor(PlugCore* plug, int32_t width, int32_t height, int32_t frameRate);
