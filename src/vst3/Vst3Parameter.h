#pragma once

#include "core/ParamRecord.h"

#include "public.sdk/source/vst/vstparameters.h"

// The host's view of one plug parameter record. Conversions and texts come
// from the record, so the host and the editor always agree.
class Vst3Parameter : public Steinberg::Vst::Parameter {
public:
    Vst3Parameter(ParamRecord& record, Steinberg::Vst::ParamID id, Steinberg::Vst::UnitID unit);

    void toString(Steinberg::Vst::ParamValue valueNormalized, Steinberg::Vst::String128 string) const SMTG_OVERRIDE;
    bool fromString(const Steinberg::Vst::TChar* string,
                    Steinberg::Vst::ParamValue& valueNormalized) const SMTG_OVERRIDE;
    Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue valueNormalized) const SMTG_OVERRIDE;
    Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plainValue) const SMTG_OVERRIDE;

    // Decimal text to a plain value: the leading number, 0.0 when there is none.
    static double ParsePlain(const char* text);

    OBJ_METHODS(Vst3Parameter, Parameter)

private:
    ParamRecord& record;
};
