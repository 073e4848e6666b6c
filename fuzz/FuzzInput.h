#pragma once

#include <cstddef>
#include <cstdint>

// The fuzzer's bytes read front to back as the values a host call needs; an
// exhausted input reads as zeros.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data(data), size(size) {}

    bool Empty() const { return pos >= size; }
    size_t Remaining() const { return pos < size ? size - pos : 0; }
    const uint8_t* Here() const { return data + (pos < size ? pos : size); }
    void Skip(size_t n) { pos = n < Remaining() ? pos + n : size; }

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    double F64();
    // A normalised value most of the time, any double now and then.
    double Normalized();

private:
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
};
