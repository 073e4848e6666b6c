#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Reads the plug's saved state: nine little-endian 64-bit parameter values,
// then the 32-bit host bypass word.
class StateBlob {
public:
    static constexpr size_t kSize = 9 * 8 + 4;

    static double Value(const std::vector<uint8_t>& blob, int index);
    static uint32_t BypassWord(const std::vector<uint8_t>& blob);
};
