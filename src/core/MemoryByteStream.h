#pragma once

#include "core/ByteStream.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// A byte stream over memory: what the tools and tests save state into.
class MemoryByteStream : public ByteStream {
public:
    MemoryByteStream() = default;
    explicit MemoryByteStream(std::vector<uint8_t> initial) : data(std::move(initial)) {}

    bool Read(void* dst, int32_t n, int32_t* done) override;
    bool Write(const void* src, int32_t n, int32_t* done) override;

    const std::vector<uint8_t>& Data() const { return data; }
    void Rewind() { pos = 0; }

private:
    std::vector<uint8_t> data;
    size_t pos = 0;
};
