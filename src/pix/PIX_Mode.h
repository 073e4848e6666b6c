#pragma once

#include <cstdint>

// Combine mode words shared by compositing, filling and text drawing. The low
// byte is the kind, bit 16 scales the weight by the source alpha; the other
// bits are ignored.
constexpr int32_t PIX_MODE_COPY = 0;
constexpr int32_t PIX_MODE_ADD = 1;
constexpr int32_t PIX_MODE_DODGE = 2;
constexpr int32_t PIX_MODE_MULTIPLY = 3;
constexpr int32_t PIX_MODE_OVERLAY = 4;
constexpr int32_t PIX_MODE_HSV_ADJUST = 5;
constexpr int32_t PIX_MODE_CHANNEL_COPY = 0xF0;
constexpr int32_t PIX_MODE_SOURCE_ALPHA = 0x10000;

constexpr int32_t PIX_MODE_KIND_MASK = 0xFF;

// Channel indices: 0 blue, 1 green, 2 red, 3 alpha.
constexpr int32_t PIX_ChannelCopyMode(int32_t dstChannel, int32_t srcChannel)
{
    return PIX_MODE_CHANNEL_COPY + 4 * (dstChannel & 3) + (srcChannel & 3);
}
