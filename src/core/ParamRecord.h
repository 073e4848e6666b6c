#pragma once

#include "core/ParamDisplayText.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

enum ParamKind : int32_t {
    kParamNone = 0,
    kParamBoolean = 1,
    kParamInteger = 2,
    kParamEnumeration = 3,
    kParamContinuous = 4,
};

// One automatable setting. The value is kept in plain units; hosts and
// controls speak normalised [0, 1], and only this class converts.
//
// Writers hold the owning plug's mutex; the editor and the host's UI thread
// read the value without it, so the value is a relaxed atomic.
class ParamRecord {
public:
    static constexpr size_t kTextSize = 32;

    ParamRecord() = default;
    ParamRecord(const ParamRecord&) = delete;
    ParamRecord& operator=(const ParamRecord&) = delete;

    void InitContinuous(const char* name, double defaultValue, double minValue, double maxValue, double step,
                        const char* label, const char* group, double shape);
    void InitInteger(const char* name, int32_t defaultValue, int32_t minValue, int32_t maxValue, const char* label,
                     const char* group);
    void InitEnum(const char* name, int32_t defaultValue, int32_t nItems, const char* label, const char* group);
    void InitBool(const char* name, bool defaultValue, const char* label, const char* group);
    void SetShapeExponent(double shape);

    double Value() const { return value.load(std::memory_order_relaxed); }
    void SetValue(double v);
    void SetFromNormalized(double x);
    double NormalizedOf(double v) const;
    double NormalizedOf() const { return NormalizedOf(Value()); }
    double PlainOf(double x) const;
    double NormalizedDefault() const;

    void AddDisplayText(int32_t v, const char* text);
    const char* DisplayTextFor(int32_t v) const;
    int32_t DisplayTextCount() const { return static_cast<int32_t>(displayTexts.size()); }
    void FormatValue(double v, bool isNormalized, char* out, size_t outSize = kTextSize) const;
    void FormatValue(char* out, size_t outSize = kTextSize) const { FormatValue(Value(), false, out, outSize); }
    const char* UnitLabel() const;

    ParamKind Kind() const { return kind; }
    double Min() const { return min; }
    double Max() const { return max; }
    double Step() const { return step; }
    double Shape() const { return shape; }
    double Default() const { return defaultValue; }
    int32_t Precision() const { return precision; }
    const char* Name() const { return name; }
    const char* Label() const { return label; }
    const char* Group() const { return group; }
    bool NegateDisplay() const { return negateDisplay; }
    void SetNegateDisplay(bool on) { negateDisplay = on; }
    bool Automatable() const { return automatable; }
    void SetAutomatable(bool on) { automatable = on; }

private:
    ParamKind kind = kParamNone;
    std::atomic<double> value{0.0};
    double min = 0.0;
    double max = 1.0;
    double step = 1.0;
    double shape = 1.0;
    double defaultValue = 0.0;
    int32_t precision = 0;
    char name[kTextSize] = {};
    char label[kTextSize] = {};
    char group[kTextSize] = {};
    bool negateDisplay = false;
    bool automatable = true;
    std::vector<ParamDisplayText> displayTexts;
};
