#include "core/MemoryByteStream.h"

#include <algorithm>
#include <cstring>

bool MemoryByteStream::Read(void* dst, int32_t n, int32_t* done)
{
    size_t count = 0;
    if (n > 0 && pos < data.size())
        count = std::min(static_cast<size_t>(n), data.size() - pos);
    if (count > 0)
        std::memcpy(dst, data.data() + pos, count);
    pos += count;
    if (done)
        *done = static_cast<int32_t>(count);
    // Like a file at its end: a read past the end succeeds with fewer bytes.
    return n >= 0;
}

bool MemoryByteStream::Write(const void* src, int32_t n, int32_t* done)
{
    if (n < 0 || (n > 0 && !src)) {
        if (done)
            *done = 0;
        return false;
    }
    const uint8_t* p = static_cast<const uint8_t*>(src);
    if (pos + static_cast<size_t>(n) > data.size())
        data.resize(pos + static_cast<size_t>(n));
    std::copy(p, p + n, data.begin() + static_cast<std::ptrdiff_t>(pos));
    pos += static_cast<size_t>(n);
    if (done)
        *done = n;
    return true;
}
