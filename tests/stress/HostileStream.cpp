#include "HostileStream.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;

tresult PLUGIN_API HostileStream::read(void* buffer, int32 numBytes, int32* numBytesRead)
{
    const uint32_t call = reads++;
    if (numBytesRead)
        *numBytesRead = 0;
    const size_t available = data.size() - std::min(pos, data.size());
    size_t n = std::min(available, static_cast<size_t>(std::max(numBytes, 0)));
    tresult result = kResultOk;
    switch (mode) {
    case kFailAtEnd:
        if (numBytes > 0 && n == 0)
            return kResultFalse;
        break;
    case kOkAtEnd:
        break;
    case kChunked:
        n = std::min<size_t>(n, std::max<uint32_t>(param, 1));
        break;
    case kFailNthRead:
        if (call >= param)
            return kResultFalse;
        break;
    case kFailAfterPartial:
        if (call == param) {
            n /= 2;
            result = kResultFalse;
        }
        break;
    default:
        return kResultFalse;
    }
    if (n > 0)
        std::memcpy(buffer, data.data() + pos, n);
    pos += n;
    if (numBytesRead)
        *numBytesRead = static_cast<int32>(n);
    return result;
}

tresult PLUGIN_API HostileStream::write(void*, int32, int32* numBytesWritten)
{
    if (numBytesWritten)
        *numBytesWritten = 0;
    return kResultFalse;
}

tresult PLUGIN_API HostileStream::seek(int64 newPos, int32 seekMode, int64* result)
{
    int64 base = 0;
    if (seekMode == kIBSeekCur)
        base = static_cast<int64>(pos);
    else if (seekMode == kIBSeekEnd)
        base = static_cast<int64>(data.size());
    const int64 target = base + newPos;
    if (target < 0)
        return kResultFalse;
    pos = static_cast<size_t>(target);
    if (result)
        *result = target;
    return kResultOk;
}

tresult PLUGIN_API HostileStream::tell(int64* result)
{
    if (!result)
        return kInvalidArgument;
    *result = static_cast<int64>(pos);
    return kResultOk;
}

tresult PLUGIN_API HostileStream::queryInterface(const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, IBStream::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
        addRef();
        *obj = static_cast<IBStream*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}
