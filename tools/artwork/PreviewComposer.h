#pragma once

#include <string>

// Puts one frame of every strip onto the background, as the editor would,
// to check that the pieces line up.
class PreviewComposer {
public:
    // Reads the strips from `imageDir`; every control shows the frame its
    // value `normalised` selects. False when a strip cannot be read.
    static bool Compose(const std::string& imageDir, double normalised, const std::string& outPath);
};
