#pragma once

#include "pluginterfaces/base/ibstream.h"

#include <cstdint>
#include <string>
#include <vector>

// An IBStream over bytes in memory: state files are read whole into one and
// written whole from one.
class ByteStream : public Steinberg::IBStream
{
public:
    ByteStream();
    virtual ~ByteStream() = default;

    bool loadFile(const std::string& path, std::string& error);
    const std::vector<uint8_t>& bytes() const { return data_; }
    void rewind() { position_ = 0; }

    Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                       Steinberg::int32* numBytesRead) override;
    Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                        Steinberg::int32* numBytesWritten) override;
    Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode,
                                       Steinberg::int64* result) override;
    Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override;

    DECLARE_FUNKNOWN_METHODS

private:
    std::vector<uint8_t> data_;
    size_t position_ = 0;
};
