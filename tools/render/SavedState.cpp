#include "SavedState.h"

#include <cstring>

bool SavedState::check(const std::string& path, const std::vector<uint8_t>& bytes, size_t stateSize,
                       const std::string& pluginName, std::string& error)
{
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "VST3", 4) == 0) {
        error = "'" + path + "' is a VST 3 preset, not a saved state; load it with --preset";
        return false;
    }
    if (bytes.size() != stateSize) {
        error = "'" + path + "' is not a saved state of " + pluginName + " (" + std::to_string(bytes.size()) +
            " bytes; its states are " + std::to_string(stateSize) + ")";
        return false;
    }
    return true;
}
