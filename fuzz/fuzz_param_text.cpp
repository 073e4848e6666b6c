// Parameter text from the host, any UTF-16, for every parameter ID there is
// (and some there are not); plus the display text of any normalised value.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzPlug.h"

#include <cmath>
#include <cstdint>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
// The preset parameter is the SDK's plain Parameter: it reads its text
// through a UTF-8 conversion that throws std::range_error out of
// getParamValueByString on a lone surrogate (the seed "surrogate" does
// that), and takes the number as the normalised value unchecked. While the
// adaptor leaves that text to the SDK, its parsing stays out of this target.
constexpr bool kParsePresetText = false;
// The SDK's bypass parameter converts a normalised value outside [0, 1]
// (NaN, 1e300) to an int unchecked, which is undefined; hosts send values
// inside the range, and until the adaptor keeps them there, so does this.
constexpr bool kSdkValuesOutOfRange = false;
}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzPlug* shared = new FuzzPlug(kSample32, 256, 48000.0);
    Tidepull& plug = shared->Plug();
    FuzzInput in(data, size);
    const double value = in.F64();

    // The text: UTF-16 units as they come, up to a String128's room.
    String128 text = {};
    int n = 0;
    while (n < 127 && in.Remaining() >= 2)
        text[n++] = static_cast<TChar>(in.U16());
    text[n] = 0;

    const ParamID ids[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x62706173, 0x70727374, 0xFFFFFFFF, 0x80000000};
    for (ParamID id : ids) {
        ParamValue normalized = -1.0;
        const bool checked = id != Vst3Plug::kPresetParamId;
        if (!checked && !kParsePresetText)
            continue;
        if (plug.getParamValueByString(id, text, normalized) == kResultOk && checked)
            FuzzCheck(normalized >= 0.0 && normalized <= 1.0, "a parsed text gives a value in [0, 1]");

        String128 shown;
        for (TChar& c : shown)
            c = 0x5A5A;
        if (plug.getParamStringByValue(id, value, shown) == kResultOk) {
            bool terminated = false;
            for (TChar c : shown)
                terminated = terminated || c == 0;
            FuzzCheck(terminated, "a display text is terminated inside its String128");
            // What the plug shows, it reads back.
            ParamValue back = -1.0;
            if (plug.getParamValueByString(id, shown, back) == kResultOk && checked)
                FuzzCheck(back >= 0.0 && back <= 1.0, "a shown text reads back into [0, 1]");
        }
        const bool sdkParam = id == Vst3Plug::kBypassParamId || id == Vst3Plug::kPresetParamId;
        const bool inRange = value >= 0.0 && value <= 1.0;
        const ParamValue plain =
            plug.normalizedParamToPlain(id, sdkParam && !inRange && !kSdkValuesOutOfRange ? 0.5 : value);
        const ParamValue again = plug.plainParamToNormalized(id, plain);
        if (id < 9 && std::isfinite(value))
            FuzzCheck(again >= 0.0 && again <= 1.0, "a plain value normalises into [0, 1]");
    }
    return 0;
}
