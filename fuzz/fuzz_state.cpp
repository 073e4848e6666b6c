// setState with any bytes, from a stream that may misbehave: the first bytes
// choose how (HostileStream's modes), the rest is the blob. Afterwards the
// state must be a sane blob and the plug must still process.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzPlug.h"
#include "HostileStream.h"

#include <cstdint>
#include <vector>

using namespace Steinberg;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzPlug* shared = new FuzzPlug(Vst::kSample32, 256, 48000.0);
    static const std::vector<uint8_t> defaults = shared->SaveState();
    FuzzPlug& fp = *shared;

    FuzzInput in(data, size);
    const auto mode = static_cast<HostileStream::Mode>(in.U8() % HostileStream::kModeCount);
    const uint32_t param = in.U8();
    const uint8_t flags = in.U8();
    const std::vector<uint8_t> blob(in.Here(), in.Here() + in.Remaining());

    // Each input starts from the defaults, so a finding replays alone.
    FuzzCheck(fp.LoadState(defaults) == kResultOk, "the default state loads");
    HostileStream stream(blob, mode, param);
    const tresult result = fp.Plug().setState(&stream);
    FuzzCheck(result == kResultOk || result == kResultFalse, "setState answers ok or false");
    FuzzCheck(stream.RefCount() == 1, "the stream's references are given back");
    if (flags & 1) {
        // Loaded twice: a host retrying after a failed load.
        HostileStream again(blob, HostileStream::kOkAtEnd, 0);
        fp.Plug().setState(&again);
    }
    FuzzCheck(fp.StateIsSane(), "the saved state after a load is 76 sane bytes");
    if (flags & 2)
        FuzzCheck(fp.ProcessTone(1 + (flags >> 2)), "a tone after a load comes out finite");
    return 0;
}
