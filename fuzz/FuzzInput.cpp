#include "FuzzInput.h"

#include <cstring>

uint8_t FuzzInput::U8()
{
    return pos < size ? data[pos++] : 0;
}

uint16_t FuzzInput::U16()
{
    const uint16_t lo = U8();
    return static_cast<uint16_t>(lo | (U8() << 8));
}

uint32_t FuzzInput::U32()
{
    const uint32_t lo = U16();
    return lo | (static_cast<uint32_t>(U16()) << 16);
}

double FuzzInput::F64()
{
    const uint64_t bits = U32() | (static_cast<uint64_t>(U32()) << 32);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

double FuzzInput::Normalized()
{
    const uint8_t kind = U8();
    if (kind < 0xF0)
        return U16() / 65535.0;
    return F64();
}
