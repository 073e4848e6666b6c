#include "vst3/Vst3Parameter.h"

#include "vst3/Vst3Text.h"

#include "pluginterfaces/base/ustring.h"

#include <charconv>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

Vst3Parameter::Vst3Parameter(ParamRecord& record_, ParamID id, UnitID unit) : record(record_)
{
    info.id = id;
    WidenToString128(record.Name(), info.title);
    info.shortTitle[0] = 0;
    WidenToString128(record.UnitLabel(), info.units);
    info.stepCount =
        record.Kind() == kParamContinuous ? 0 : static_cast<int32>(std::trunc(record.Max() - record.Min()));
    info.defaultNormalizedValue = record.NormalizedDefault();
    valueNormalized = info.defaultNormalizedValue;
    info.unitId = unit;
    info.flags = record.Automatable() ? ParameterInfo::kCanAutomate : 0;
    precision = record.Precision();
}

void Vst3Parameter::toString(ParamValue normalized, String128 string) const
{
    char text[ParamRecord::kTextSize];
    record.FormatValue(normalized, true, text, sizeof text);
    WidenToString128(text, string);
}

double Vst3Parameter::ParsePlain(const char* text)
{
    // Locale-independent, whatever the host did to LC_NUMERIC.
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v')
        ++p;
    if (*p == '+')
        ++p;
    const char* end = p;
    while (*end)
        ++end;
    double v = 0.0;
    const auto result = std::from_chars(p, end, v, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        return (*p == '-') ? -HUGE_VAL : HUGE_VAL;
    if (result.ec != std::errc() || std::isnan(v))
        return 0.0;   // "nan" is no number either
    return v;
}

bool Vst3Parameter::fromString(const TChar* string, ParamValue& normalized) const
{
    char text[128] = {};
    if (string)
        UString(const_cast<TChar*>(string), 128).toAscii(text, sizeof text);
    text[sizeof text - 1] = '\0';
    normalized = record.NormalizedOf(ParsePlain(text));
    return true;
}

ParamValue Vst3Parameter::toPlain(ParamValue normalized) const
{
    return record.PlainOf(normalized);
}

ParamValue Vst3Parameter::toNormalized(ParamValue plain) const
{
    return record.NormalizedOf(plain);
}
