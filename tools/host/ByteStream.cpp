#include "ByteStream.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace Steinberg;

namespace vsthost {

tresult PLUGIN_API ByteStream::queryInterface(const TUID queried, void** obj)
{
    QUERY_INTERFACE(queried, obj, FUnknown::iid, IBStream)
    QUERY_INTERFACE(queried, obj, IBStream::iid, IBStream)
    *obj = nullptr;
    return kNoInterface;
}

bool ByteStream::loadFile(const std::string& path, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot read '" + path + "': " + std::strerror(errno);
        return false;
    }
    data_.clear();
    position_ = 0;
    uint8_t chunk[4096];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        data_.insert(data_.end(), chunk, chunk + n);
    const bool failed = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    if (failed) {
        error = "cannot read '" + path + "': " + std::strerror(readErrno);
        return false;
    }
    return true;
}

tresult PLUGIN_API ByteStream::read(void* buffer, int32 numBytes, int32* numBytesRead)
{
    if (numBytesRead)
        *numBytesRead = 0;
    if (numBytes < 0 || (numBytes > 0 && !buffer))
        return kInvalidArgument;
    size_t n = static_cast<size_t>(numBytes);
    if (position_ >= data_.size())
        n = 0;
    else if (n > data_.size() - position_)
        n = data_.size() - position_;
    if (n > 0)
        std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    if (numBytesRead)
        *numBytesRead = static_cast<int32>(n);
    return kResultOk;
}

tresult PLUGIN_API ByteStream::write(void* buffer, int32 numBytes, int32* numBytesWritten)
{
    if (numBytesWritten)
        *numBytesWritten = 0;
    if (numBytes < 0 || (numBytes > 0 && !buffer))
        return kInvalidArgument;
    const size_t end = position_ + static_cast<size_t>(numBytes);
    if (end > data_.size())
        data_.resize(end);
    if (numBytes > 0)
        std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(numBytes));
    position_ = end;
    if (numBytesWritten)
        *numBytesWritten = numBytes;
    return kResultOk;
}

tresult PLUGIN_API ByteStream::seek(int64 pos, int32 mode, int64* result)
{
    int64 base = 0;
    switch (mode) {
    case kIBSeekSet: base = 0; break;
    case kIBSeekCur: base = static_cast<int64>(position_); break;
    case kIBSeekEnd: base = static_cast<int64>(data_.size()); break;
    default: return kInvalidArgument;
    }
    const int64 target = base + pos;
    if (target < 0)
        return kResultFalse;
    position_ = static_cast<size_t>(target);
    if (result)
        *result = target;
    return kResultOk;
}

tresult PLUGIN_API ByteStream::tell(int64* pos)
{
    if (!pos)
        return kInvalidArgument;
    *pos = static_cast<int64>(position_);
    return kResultOk;
}

}   // namespace vsthost
