#pragma once

#include <cstdint>
#include <vector>

// A growable byte buffer. Reads never go past the end: they answer the next
// position, or -1 when the bytes are not there.
class StateChunk {
public:
    int32_t PutBytes(const void* data, int32_t n);
    int32_t GetBytes(void* dst, int32_t n, int32_t pos) const;
    int32_t PutDouble(double v);   // little-endian IEEE-754
    int32_t GetDouble(double* v, int32_t pos) const;

    int32_t Size() const { return static_cast<int32_t>(bytes.size()); }
    const uint8_t* Bytes() const { return bytes.empty() ? nullptr : bytes.data(); }
    uint8_t* Bytes() { return bytes.empty() ? nullptr : bytes.data(); }
    void Clear() { bytes.clear(); }

private:
    std::vector<uint8_t> bytes;
};
