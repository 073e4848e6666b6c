#pragma once

#include "pluginterfaces/base/ibstream.h"

#include <atomic>
#include <cstdint>
#include <cstddef>
#include <vector>

// A read-only host stream over given bytes that delivers at most `limit` of
// them: a read that can deliver nothing more fails, a read that runs into the
// limit delivers what is left and succeeds. Streams that misbehave otherwise
// override `read`.
class LimitedReadStream : public Steinberg::IBStream {
public:
    LimitedReadStream(std::vector<uint8_t> bytes, size_t limit = SIZE_MAX) : data(std::move(bytes)), limit(limit) {}
    virtual ~LimitedReadStream() = default;

    size_t Position() const { return pos; }
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

protected:
    std::vector<uint8_t> data;
    size_t limit;
    size_t pos = 0;
    std::atomic<Steinberg::uint32> refCount{1};
};
