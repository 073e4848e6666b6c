#pragma once

#include <cstdint>

// The little the state blob needs of a stream; the host adaptor wraps the
// host's own streams in it.
class ByteStream {
public:
    virtual ~ByteStream() = default;
    // Each answers whether the stream reported success; *done gets the number
    // of bytes actually moved (may be short of n even on success).
    virtual bool Read(void* dst, int32_t n, int32_t* done) = 0;
    virtual bool Write(const void* src, int32_t n, int32_t* done) = 0;
};
