#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What the plug-in and its editor make, scene by scene: each factory preset
// rendered at 44.1 and 96 kHz through 32- and 64-bit buffers with the
// sidechain bus fed, an automated session with in-block automation, host
// bypass, the sidechain switched, non-finite input and a fade through the
// subnormals, and the editor drawn at 1x and 2x after them. The same source
// is built against the normal libraries and against their portable twins.
struct SameBitsScene {
    std::string name;
    size_t wordSize = 0;   // 8 for audio samples, 4 for pixels
    std::vector<uint8_t> bytes;
};

// Empty and `error` set when a scene could not be made.
std::vector<SameBitsScene> MakeSameBitsScenes(std::string& error);

bool WriteSameBitsScenes(const std::string& path, const std::vector<SameBitsScene>& scenes);
bool ReadSameBitsScenes(const std::string& path, std::vector<SameBitsScene>& scenes);
