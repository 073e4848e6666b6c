#include "core/StateChunk.h"

#include <cstring>

int32_t StateChunk::PutBytes(const void* data, int32_t n)
{
    if (n > 0 && data) {
        const uint8_t* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + n);
    }
    return Size();
}

int32_t StateChunk::GetBytes(void* dst, int32_t n, int32_t pos) const
{
    if (pos < 0 || n < 0 || static_cast<int64_t>(pos) + n > Size())
        return -1;
    if (n > 0)
        std::memcpy(dst, bytes.data() + pos, static_cast<size_t>(n));
    return pos + n;
}

int32_t StateChunk::PutDouble(double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    uint8_t le[8];
    for (int i = 0; i < 8; ++i)
        le[i] = static_cast<uint8_t>(bits >> (8 * i));
    return PutBytes(le, 8);
}

int32_t StateChunk::GetDouble(double* v, int32_t pos) const
{
    uint8_t le[8];
    const int32_t next = GetBytes(le, 8, pos);
    if (next < 0)
        return -1;
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<uint64_t>(le[i]) << (8 * i);
    std::memcpy(v, &bits, sizeof bits);
    return next;
}
