#pragma once

#include "HostObject.h"

#include "pluginterfaces/base/ibstream.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vsthost {

// An IBStream over bytes in memory: state files are read whole into one and
// written whole from one. Streams that misbehave derive from it.
class ByteStream : public HostObject<Steinberg::IBStream> {
public:
    ByteStream() = default;
    explicit ByteStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

    bool loadFile(const std::string& path, std::string& error);
    const std::vector<uint8_t>& bytes() const { return data_; }
    void rewind() { position_ = 0; }
    size_t position() const { return position_; }

    Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                       Steinberg::int32* numBytesRead) override;
    Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                        Steinberg::int32* numBytesWritten) override;
    Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode, Steinberg::int64* result) override;
    Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

protected:
    std::vector<uint8_t> data_;
    size_t position_ = 0;
};

}   // namespace vsthost
