#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A file given with --state-in, checked before the plug-in sees it. The
// plug-in takes whatever bytes a host hands it as well as it can, so a
// preset, an audio file or a few stray bytes would pass for a state; a state
// this plug-in saved is exactly as long as the one it saves now.
class SavedState {
public:
    static bool check(const std::string& path, const std::vector<uint8_t>& bytes, size_t stateSize,
                      const std::string& pluginName, std::string& error);
};
