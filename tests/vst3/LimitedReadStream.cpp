#include "LimitedReadStream.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;

tresult PLUGIN_API LimitedReadStream::read(void* buffer, int32 numBytes, int32* numBytesRead)
{
    const size_t end = std::min(limit, data.size());
    const size_t available = pos < end ? end - pos : 0;
    const size_t n = std::min(available, static_cast<size_t>(std::max(numBytes, 0)));
    if (numBytesRead)
        *numBytesRead = static_cast<int32>(n);
    if (numBytes > 0 && n == 0)
        return kResultFalse;
    std::memcpy(buffer, data.data() + pos, n);
    pos += n;
    return kResultOk;
}

tresult PLUGIN_API LimitedReadStream::write(void*, int32, int32* numBytesWritten)
{
    if (numBytesWritten)
        *numBytesWritten = 0;
    return kResultFalse;
}

tresult PLUGIN_API LimitedReadStream::seek(int64 newPos, int32 mode, int64* result)
{
    int64 base = 0;
    if (mode == kIBSeekCur)
        base = static_cast<int64>(pos);
    else if (mode == kIBSeekEnd)
        base = static_cast<int64>(data.size());
    const int64 target = base + newPos;
    if (target < 0)
        return kResultFalse;
    pos = static_cast<size_t>(target);
    if (result)
        *result = target;
    return kResultOk;
}

tresult PLUGIN_API LimitedReadStream::tell(int64* result)
{
    if (!result)
        return kInvalidArgument;
    *result = static_cast<int64>(pos);
    return kResultOk;
}

tresult PLUGIN_API LimitedReadStream::queryInterface(const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, IBStream::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
        addRef();
        *obj = static_cast<IBStream*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}
