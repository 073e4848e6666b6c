#include "RawFile.h"

#include <cstdio>
#include <cstring>

bool RawFile::Write(const std::string& path, const void* data, size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

bool RawFile::WriteDoubles(const std::string& path, const std::vector<double>& values)
{
    return Write(path, values.data(), values.size() * sizeof(double));
}

bool RawFile::Read(const std::string& path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool RawFile::ReadDoubles(const std::string& path, std::vector<double>& values)
{
    std::vector<uint8_t> bytes;
    if (!Read(path, bytes) || bytes.size() % sizeof(double) != 0)
        return false;
    values.resize(bytes.size() / sizeof(double));
    if (!bytes.empty())
        std::memcpy(values.data(), bytes.data(), bytes.size());
    return true;
}
