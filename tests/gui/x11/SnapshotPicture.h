#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What tidepull-snapshot draws with `options` (--scale, --set ...), 0xRRGGBB
// per pixel, row by row: the picture an editor window must show. Empty
// when the tool failed or did not end within a minute.
std::vector<uint32_t> SnapshotPicture(const std::string& tool, const std::vector<std::string>& options, int& width,
                                      int& height);

// Pixels that differ between two pictures; all of the larger when their sizes differ.
size_t DifferentPixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);
// Descriptors this process has open: what a window left behind shows here.
int OpenDescriptors();
