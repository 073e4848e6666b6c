#include "gui/TextEntry.h"

#include "core/ParamRecord.h"
#include "gui/Control.h"
#include "gui/VirtualKeyMap.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// Display-text values are searched over the parameter's integer range; a
// Boolean or Enumeration parameter never has more values than this.
constexpr double kMaxSearchedValues = 65536.0;

bool IsDigit(int32_t ch)
{
    return ch >= '0' && ch <= '9';
}

// The number a text starts with, 0 when there is none, as atof reads it but
// always with '.' as the decimal point: a host may have switched the process
// to a locale with a decimal comma, and the box only lets '.' through.
double LeadingNumber(const char* text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    if (*text == '+' && text[1] != '-')
        ++text;
    double value = 0.0;
    const std::from_chars_result r = std::from_chars(text, text + std::strlen(text), value);
    return r.ec == std::errc() ? value : 0.0;
}

}   // namespace

void TextEntry::Open(Control* edited, ParamRecord* editedParam)
{
    control = edited;
    param = editedParam;
}

void TextEntry::Close()
{
    control = nullptr;
    param = nullptr;
    state = TextEntryState::Idle;
}

bool TextEntry::KeyDown(int32_t virtualKey)
{
    if (virtualKey == VirtualKeyMap::kReturn) {
        state = TextEntryState::Commit;
        return true;
    }
    if (virtualKey == VirtualKeyMap::kEscape) {
        state = TextEntryState::Cancel;
        return true;
    }
    return false;
}

bool TextEntry::AcceptsCharacter(int32_t ch) const
{
    if (!param || ch == VirtualKeyMap::kBack)
        return true;
    switch (param->Kind()) {
    case kParamBoolean:
    case kParamInteger:
    case kParamEnumeration: return IsDigit(ch) || ch == '+' || ch == '-';
    case kParamContinuous: return IsDigit(ch) || ch == '+' || ch == '-' || ch == '.';
    default: return true;
    }
}

void TextEntry::Apply(const char* text) const
{
    if (!control)
        return;
    if (!text)
        text = "";
    if (param)
        control->ApplyUserValue(NormalizedValueOf(*param, text));
    else
        control->ReceiveEnteredText(text);
}

double TextEntry::NormalizedValueOf(const ParamRecord& param, const char* text)
{
    double value = 0.0;
    const ParamKind kind = param.Kind();
    if (kind == kParamBoolean || kind == kParamEnumeration) {
        const double lo = std::ceil(param.Min());
        const double hi = std::floor(param.Max());
        if (hi >= lo && hi - lo < kMaxSearchedValues) {
            for (double v = lo; v <= hi; v += 1.0) {
                const char* shown = param.DisplayTextFor(static_cast<int32_t>(v));
                if (shown[0] != '\0' && std::strcmp(shown, text) == 0) {
                    value = v;
                    break;
                }
            }
        }
    } else {
        value = LeadingNumber(text);
        if (param.NegateDisplay())
            value = -value;
    }
    return param.NormalizedOf(value);
}
