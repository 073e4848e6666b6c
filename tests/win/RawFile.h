#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Whole files of bytes or of native 64-bit floats (both platforms are
// little-endian x86-64, so the bytes are the same on both).
class RawFile {
public:
    static bool Write(const std::string& path, const void* data, size_t size);
    static bool WriteDoubles(const std::string& path, const std::vector<double>& values);
    static bool Read(const std::string& path, std::vector<uint8_t>& bytes);
    static bool ReadDoubles(const std::string& path, std::vector<double>& values);
};
