#include "core/ParamRecord.h"

#include "core/FixedText.h"
#include "dsp/portableMath.h"

#include <cmath>
#include <cstdio>

void ParamRecord::InitContinuous(const char* name_, double defaultValue_, double minValue, double maxValue,
                                 double step_, const char* label_, const char* group_, double shape_)
{
    if (kind == kParamNone)
        kind = kParamContinuous;
    CopyFixedText(name, name_);
    CopyFixedText(label, label_);
    CopyFixedText(group, group_);
    value.store(defaultValue_, std::memory_order_relaxed);
    defaultValue = defaultValue_;
    min = minValue;
    step = step_;
    max = maxValue > minValue + step_ ? maxValue : minValue + step_;

    precision = 0;
    double s = step_;
    while (s != std::floor(s) && precision < 6) {
        ++precision;
        s *= 10.0;
    }
    SetShapeExponent(shape_);
}

void ParamRecord::InitInteger(const char* name_, int32_t defaultValue_, int32_t minValue, int32_t maxValue,
                              const char* label_, const char* group_)
{
    if (kind == kParamNone)
        kind = kParamInteger;
    InitContinuous(name_, defaultValue_, minValue, maxValue, 1.0, label_, group_, 1.0);
}

void ParamRecord::InitEnum(const char* name_, int32_t defaultValue_, int32_t nItems, const char* label_,
                           const char* group_)
{
    if (kind == kParamNone)
        kind = kParamEnumeration;
    InitInteger(name_, defaultValue_, 0, nItems > 1 ? nItems - 1 : 0, label_, group_);
}

void ParamRecord::InitBool(const char* name_, bool defaultValue_, const char* label_, const char* group_)
{
    if (kind == kParamNone)
        kind = kParamBoolean;
    InitInteger(name_, defaultValue_ ? 1 : 0, 0, 1, label_, group_);
}

void ParamRecord::SetShapeExponent(double shape_)
{
    if (shape_ != 0.0)
        shape = shape_;
}

void ParamRecord::SetValue(double v)
{
    // A NaN from a damaged state blob or a host must never reach the engine.
    if (std::isnan(v))
        v = defaultValue;
    if (v < min)
        v = min;
    else if (v > max)
        v = max;
    value.store(v, std::memory_order_relaxed);
}

void ParamRecord::SetFromNormalized(double x)
{
    // Hosts may send anything; outside [0, 1] the power below can give NaN or a
    // value under min, so the input is kept in range first.
    if (std::isnan(x)) {
        SetValue(defaultValue);
        return;
    }
    if (x < 0.0)
        x = 0.0;
    else if (x > 1.0)
        x = 1.0;

    double v = min + portableMath::pow(x, shape) * (max - min);
    if (kind != kParamContinuous)
        v = std::floor(v / step + 0.5) * step;   // the grid is anchored at 0, not at min
    value.store(v < max ? v : max, std::memory_order_relaxed);
}

double ParamRecord::NormalizedOf(double v) const
{
    if (v < min)
        v = min;
    else if (v > max)
        v = max;
    return portableMath::pow((v - min) / (max - min), 1.0 / shape);
}

double ParamRecord::PlainOf(double x) const
{
    return min + portableMath::pow(x, shape) * (max - min);
}

double ParamRecord::NormalizedDefault() const
{
    return portableMath::pow((defaultValue - min) / (max - min), 1.0 / shape);
}

void ParamRecord::AddDisplayText(int32_t v, const char* text)
{
    ParamDisplayText entry;
    entry.value = v;
    CopyFixedText(entry.text, text);
    displayTexts.push_back(entry);
}

const char* ParamRecord::DisplayTextFor(int32_t v) const
{
    for (const ParamDisplayText& entry : displayTexts) {
        if (entry.value == v)
            return entry.text;
    }
    return "";
}

void ParamRecord::FormatValue(double v, bool isNormalized, char* out, size_t outSize) const
{
    if (!out || outSize == 0)
        return;
    if (isNormalized)
        v = PlainOf(v);

    const char* text = DisplayTextFor(TruncateToInt32(v));
    if (text[0] != '\0') {
        CopyFixedText(out, outSize, text);
        return;
    }
    if (negateDisplay)
        v = -v;

    // snprintf cuts an over-long text at the buffer; "%d" is only safe for
    // values that truncate into an int.
    const double t = std::trunc(v);
    if (precision == 0 && t >= -2147483648.0 && t <= 2147483647.0)
        std::snprintf(out, outSize, "%d", static_cast<int>(t));
    else if (precision == 0)
        std::snprintf(out, outSize, "%.0f", t);
    else
        std::snprintf(out, outSize, "%.*f", static_cast<int>(precision), v);
}

const char* ParamRecord::UnitLabel() const
{
    if (DisplayTextFor(TruncateToInt32(Value()))[0] != '\0')
        return "";
    return label;
}
