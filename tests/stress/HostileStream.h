#pragma once

#include "pluginterfaces/base/ibstream.h"

#include <atomic>
#include <cstdint>
#include <vector>

// A host stream over given bytes that misbehaves the way real host streams
// do: it may deliver fewer bytes than asked while reporting success, report
// success with nothing at its end, fail at a chosen read, or fail after
// delivering part of a read.
class HostileStream : public Steinberg::IBStream {
public:
    enum Mode : uint8_t {
        kFailAtEnd = 0,      // a read that finds nothing left fails
        kOkAtEnd,            // a read that finds nothing left succeeds with 0 bytes
        kChunked,            // at most `param` bytes per read (at least 1), success
        kFailNthRead,        // read number `param` (from 0) and later ones fail, nothing delivered
        kFailAfterPartial,   // read number `param` delivers half of what it could, then reports failure
        kModeCount
    };

    HostileStream(std::vector<uint8_t> bytes, Mode mode, uint32_t param)
        : data(std::move(bytes)), mode(mode), param(param)
    {
    }
    virtual ~HostileStream() = default;

    uint32_t Reads() const { return reads; }
    Steinberg::uint32 RefCount() const { return refCount; }

    Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                       Steinberg::int32* numBytesRead) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                        Steinberg::int32* numBytesWritten) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode,
                                       Steinberg::int64* result) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) SMTG_OVERRIDE;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return ++refCount; }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return --refCount; }

private:
    std::vector<uint8_t> data;
    Mode mode;
    uint32_t param;
    size_t pos = 0;
    uint32_t reads = 0;
    std::atomic<Steinberg::uint32> refCount{1};
};
