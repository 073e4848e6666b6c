#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Names, labels and formatted values live in fixed NUL-terminated arrays.
// Every copy into one goes through here, so an over-long text is cut at the
// array's size and never overruns it.
inline void CopyFixedText(char* dst, size_t dstSize, const char* src)
{
    if (dstSize == 0)
        return;
    size_t n = 0;
    if (src) {
        while (n + 1 < dstSize && src[n] != '\0')
            ++n;
        std::memcpy(dst, src, n);
    }
    std::memset(dst + n, 0, dstSize - n);
}

template <size_t N>
inline void CopyFixedText(char (&dst)[N], const char* src)
{
    CopyFixedText(dst, N, src);
}

// Truncation toward zero that stays defined for every double: NaN reads as 0
// and values beyond the int32 range saturate.
inline int32_t TruncateToInt32(double v)
{
    if (!(v == v))
        return 0;
    if (v >= 2147483647.0)
        return INT32_MAX;
    if (v <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

// A four-character code with the first character in the most significant byte.
constexpr int32_t FourCharCode(const char (&c)[5])
{
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(c[0])) << 24) |
                                (static_cast<uint32_t>(static_cast<uint8_t>(c[1])) << 16) |
                                (static_cast<uint32_t>(static_cast<uint8_t>(c[2])) << 8) |
                                static_cast<uint32_t>(static_cast<uint8_t>(c[3])));
}
