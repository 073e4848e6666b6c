#pragma once

#include "host/ByteStream.h"

#include <cstdint>
#include <cstddef>
#include <vector>

// A read-only host stream over given bytes that delivers at most `limit` of
// them: a read that can deliver nothing more fails, a read that runs into the
// limit delivers what is left and succeeds. Streams that misbehave otherwise
// override `read`. Held by the test: counted, never deleted by a release.
class LimitedReadStream : public vsthost::ByteStream {
public:
    LimitedReadStream(std::vector<uint8_t> bytes, size_t limit = SIZE_MAX)
        : vsthost::ByteStream(std::move(bytes)),
          limit(limit)
    {
    }

    size_t Position() const { return position(); }
    Steinberg::uint32 RefCount() const { return refCount(); }

    Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                       Steinberg::int32* numBytesRead) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                        Steinberg::int32* numBytesWritten) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return --refs_; }

protected:
    size_t limit;
};
