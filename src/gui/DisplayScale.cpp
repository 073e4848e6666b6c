#include "gui/DisplayScale.h"

#include <cmath>

DisplayScale DisplayScale::FromFactor(double factor)
{
    if (!(factor > kMinQuarters / 4.0))
        return DisplayScale(kMinQuarters);
    if (factor >= kMaxQuarters / 4.0)
        return DisplayScale(kMaxQuarters);
    const int32_t q = static_cast<int32_t>(std::floor(factor * 4.0 + 0.5));
    return DisplayScale(q < kMinQuarters ? kMinQuarters : (q > kMaxQuarters ? kMaxQuarters : q));
}

DisplayScale DisplayScale::FromDpiText(const char* text)
{
    if (!text)
        return DisplayScale();
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const char* p = text;
    while (isSpace(*p))
        ++p;
    double value = 0.0;
    int32_t digits = 0;
    for (; isDigit(*p); ++p, ++digits)
        value = value * 10.0 + (*p - '0');
    if (*p == '.') {
        double unit = 0.1;
        for (++p; isDigit(*p); ++p, ++digits, unit *= 0.1)
            value += (*p - '0') * unit;
    }
    while (isSpace(*p))
        ++p;
    if (digits == 0 || *p != '\0' || !(value > 0.0))
        return DisplayScale();
    return FromDpi(value);
}

int32_t DisplayScale::FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return static_cast<int32_t>(q);
}

Bounds DisplayScale::ToDevice(const Bounds& r) const
{
    if (r.IsEmpty() || IsOne())
        return r;
    return Bounds(ToDevice(r.left), ToDevice(r.top), CeilDiv(static_cast<int64_t>(r.right) * quarters, 4),
                  CeilDiv(static_cast<int64_t>(r.bottom) * quarters, 4));
}

Bounds DisplayScale::ToLogical(const Bounds& r) const
{
    if (r.IsEmpty() || IsOne())
        return r;
    return Bounds(ToLogical(r.left), ToLogical(r.top), CeilDiv(static_cast<int64_t>(r.right) * 4, quarters),
                  CeilDiv(static_cast<int64_t>(r.bottom) * 4, quarters));
}

DisplayScale::Source DisplayScale::StripSource() const
{
    if (IsOne())
        return Source::kOneX;
    return quarters == kArtworkQuarters ? Source::kArtwork : Source::kResampled;
}
