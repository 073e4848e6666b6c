#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What tidepull-snapshot draws with `options` (--scale, --set ...), 0xRRGGBB
// per pixel, row by row: the picture an editor window must show. Empty
// when the tool failed or did not end within a minute.
std::vector<uint32_t> SnapshotPicture(const std::string& tool, const std::vector<std::string>& options, int& width,
                                      int& height);
