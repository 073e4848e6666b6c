#include "HostileStream.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;

tresult PLUGIN_API HostileStream::read(void* buffer, int32 numBytes, int32* numBytesRead)
{
    const uint32_t call = reads++;
    if (numBytesRead)
        *numBytesRead = 0;
    const size_t available = data_.size() - std::min(position_, data_.size());
    size_t n = std::min(available, static_cast<size_t>(std::max(numBytes, 0)));
    tresult result = kResultOk;
    switch (mode) {
    case kFailAtEnd:
        if (numBytes > 0 && n == 0)
            return kResultFalse;
        break;
    case kOkAtEnd: break;
    case kChunked: n = std::min<size_t>(n, std::max<uint32_t>(param, 1)); break;
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
    default: return kResultFalse;
    }
    if (n > 0)
        std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    if (numBytesRead)
        *numBytesRead = static_cast<int32>(n);
    return result;
}
