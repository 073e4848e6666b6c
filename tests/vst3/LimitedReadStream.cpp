#include "LimitedReadStream.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;

tresult PLUGIN_API LimitedReadStream::read(void* buffer, int32 numBytes, int32* numBytesRead)
{
    const size_t end = std::min(limit, data_.size());
    const size_t available = position_ < end ? end - position_ : 0;
    const size_t n = std::min(available, static_cast<size_t>(std::max(numBytes, 0)));
    if (numBytesRead)
        *numBytesRead = static_cast<int32>(n);
    if (numBytes > 0 && n == 0)
        return kResultFalse;
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return kResultOk;
}

tresult PLUGIN_API LimitedReadStream::write(void*, int32, int32* numBytesWritten)
{
    if (numBytesWritten)
        *numBytesWritten = 0;
    return kResultFalse;
}
