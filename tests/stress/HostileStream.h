#pragma once

#include "LimitedReadStream.h"

#include <cstdint>
#include <utility>
#include <vector>

// A host stream over given bytes that misbehaves the way real host streams
// do: it may deliver fewer bytes than asked while reporting success, report
// success with nothing at its end, fail at a chosen read, or fail after
// delivering part of a read.
class HostileStream : public LimitedReadStream {
public:
    enum Mode : uint8_t {
        kFailAtEnd = 0,   // a read that finds nothing left fails
        kOkAtEnd,   // a read that finds nothing left succeeds with 0 bytes
        kChunked,   // at most `param` bytes per read (at least 1), success
        kFailNthRead,   // read number `param` (from 0) and later ones fail, nothing delivered
        kFailAfterPartial,   // read number `param` delivers half of what it could, then reports failure
        kModeCount
    };

    HostileStream(std::vector<uint8_t> bytes, Mode mode, uint32_t param)
        : LimitedReadStream(std::move(bytes)),
          mode(mode),
          param(param)
    {
    }

    uint32_t Reads() const { return reads; }

    Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                       Steinberg::int32* numBytesRead) SMTG_OVERRIDE;

private:
    Mode mode;
    uint32_t param;
    uint32_t reads = 0;
};
