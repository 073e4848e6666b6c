#include "plug/Tidepull.h"

#include "core/FixedText.h"
#include "dsp/saturate.h"

#include <cmath>
#include <mutex>

namespace {

constexpr int32_t kVersion = 0x50000;   // 5.0.0

// Release positions: time to 1 % and knee factor. Positions 4 and 5 take
// their time from the sidechain level of the sample.
constexpr double kReleaseMs[4] = {300.0, 800.0, 2000.0, 5000.0};
constexpr double kReleaseKnee[6] = {1.0, 0.8, 0.6, 0.5, 0.6, 0.4};

constexpr double kDbToLinear = 0.1151292546497;   // ln(10) / 20

} // namespace

Tidepull::Tidepull()
    : Vst3Plug(kNumParams, "2-2 4-2", 1, "Tidepull", "", "Quillmarch", kVersion,
               FourCharCode("Tdp1"), FourCharCode("Qlmr")),
      meterState(1.0)
{
    ParamAt(kInputAtten)->InitContinuous("Input Atten", 0.0, -18.0, 18.0, 0.01, "%", "", 1.0);
    ParamAt(kOutput)->InitContinuous("Output", 0.0, -18.0, 18.0, 0.01, "%", "", 1.0);
    ParamAt(kAcThreshold)->InitContinuous("AC Threshold", 0.0, 0.0, 50.0, 0.01, "%", "", 1.0);
    ParamAt(kDcThreshold)->InitContinuous("DC Threshold", 2.0, 1.0, 10.0, 0.01, "%", "", 1.0);
    ParamAt(kHpf)->InitContinuous("HPF", 20.0, 20.0, 500.0, 0.01, "%", "", 1.0);
    ParamAt(kMix)->InitContinuous("MIX", 100.0, 0.0, 100.0, 0.01, "%", "", 1.0);
    ParamAt(kRelease)->InitInteger("Release", 0, 0, 5, "", "");
    ParamAt(kBypass)->InitInteger("Bypass", 1, 0, 1, "", "");
    ParamAt(kExternalSidechain)->InitInteger("External Sidechain", 0, 0, 1, "", "");
    for (int32_t i = kInputAtten; i <= kMix; ++i)
        ParamAt(i)->SetShapeExponent(1.0);

    // The host restores the default preset before processing, but a block run
    // before that must still see defined engine values.
    for (int32_t i = 0; i < kNumParams; ++i)
        ParamChanged(i);

    CaptureDefaultPresets("-", 1);
}

void Tidepull::ParamChanged(int32_t paramIdx)
{
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    const ParamRecord* param = ParamAt(paramIdx);
    if (!param)
        return;
    const double v = param->Value();
    switch (paramIdx) {
    case kInputAtten: inputGain = std::pow(10.0, v / 20.0); break;
    case kOutput: outputGain = std::pow(10.0, v / 20.0); break;
    case kAcThreshold: acThreshold = v; break;
    case kDcThreshold: dcThreshold = v; break;
    case kHpf: hpfFreq = v; break;
    case kMix: mix = v / 100.0; break;
    default: break;   // Release, Bypass and External Sidechain are read per sample
    }
}

void Tidepull::ClearNonFiniteState()
{
    // One NaN or infinite sample would otherwise poison the recursive state
    // for good. Finite state is never touched, so finite audio is unchanged.
    if (!stageL.stateIsFinite())
        stageL.clearState();
    if (!stageR.stateIsFinite())
        stageR.clearState();
    if (!sidechainFilter.stateIsFinite())
        sidechainFilter.clearState();
    if (!comp.stateIsFinite())
        comp.clearState();
    paramSmoother* smoothers[] = {&inputGainSmoother, &dcSmoother, &acSmoother,
                                  &outputGainSmoother, &mixSmoother};
    for (paramSmoother* s : smoothers) {
        if (!s->stateIsFinite())
            s->clearState();
    }
    if (!std::isfinite(meterState))
        meterState = 0.0;
}

void Tidepull::ProcessBlock(double** inputs, double** outputs, int32_t nFrames)
{
    const double rate = SampleRate();
    stageL.setRate(2.0 * rate);
    stageR.setRate(2.0 * rate);
    sidechainFilter.setHighPass((hpfFreq + 25.0) / rate, 0.707);
    const double makeupGain = std::pow(10.0, 0.25);   // +5 dB
    if (nFrames <= 0)
        return;

    ClearNonFiniteState();

    const ParamRecord& releaseParam = *ParamAt(kRelease);
    const ParamRecord& bypassParam = *ParamAt(kBypass);
    const ParamRecord& sidechainParam = *ParamAt(kExternalSidechain);
    EditorLink* editor = GetEditor();
    // Meter ballistics: the distance shrinks to 1 % in 300 ms.
    const double meterCoef = std::exp(-4.60517018599 / (rate * 0.3));

    const double* inL = inputs[0];
    const double* inR = inputs[1];
    const double* scL = inputs[2];
    const double* scR = inputs[3];
    double* outL = outputs[0];
    double* outR = outputs[1];

    for (int32_t i = 0; i < nFrames; ++i) {
        // Read every input of sample i before writing output i: the host may
        // process in place.
        const double lin = inL[i];
        const double rin = inR[i];

        // Saturation stage; the input gain only sets the drive, so it is
        // divided out again after the filter.
        const float t1 = inputGainSmoother.tick(inputGain);
        const float t2 = inputGainSmoother.tick(inputGain);
        double satL = stageL.tick(saturate(t1 * lin)) / t2 * makeupGain;
        const float t3 = inputGainSmoother.tick(inputGain);
        const float t4 = inputGainSmoother.tick(inputGain);
        double satR = stageR.tick(saturate(t3 * rin)) / t4 * makeupGain;

        // The filters are clocked three times per sample with the input held;
        // only the first output counts.
        const float t5 = inputGainSmoother.tick(inputGain);
        stageL.tick(saturate(t5 * lin));
        const float t6 = inputGainSmoother.tick(inputGain);
        stageR.tick(saturate(t6 * rin));
        const float t7 = inputGainSmoother.tick(inputGain);
        stageL.tick(saturate(t7 * lin));
        const float t8 = inputGainSmoother.tick(inputGain);
        stageR.tick(saturate(t8 * rin));

        // Sidechain: the sum is not halved, a centred signal reads 6 dB hot.
        const double v = TruncateToInt32(sidechainParam.Value()) == 1 ? scL[i] + scR[i] : rin + lin;
        const double hp = sidechainFilter.tick(static_cast<float>(v));
        const float t9 = inputGainSmoother.tick(inputGain);
        scLevel = static_cast<double>(static_cast<float>(hp) * t9);

        comp.detect(scLevel);
        const double g = comp.computeGain();
        gainDb = g;

        const double level = std::fabs(scLevel);
        const double release4 = 3000.0 * level + 7000.0;
        const double release5 = 15000.0 * level + 10000.0;
        int32_t position = TruncateToInt32(releaseParam.Value());
        position = position < 0 ? 0 : (position > 5 ? 5 : position);
        releaseMs = position < 4 ? kReleaseMs[position] : (position == 4 ? release4 : release5);
        kneeTarget = kReleaseKnee[position];

        // The detector keeps its 44.1 kHz timing whatever the host rate; the
        // setters return early while their inputs stay the same.
        comp.setAttack(0.8);
        comp.setRelease(releaseMs);
        comp.setHold(3.0);

        // Ratio and threshold glide; a moving smoother takes a second step.
        const float ratio = dcSmoother.tick(dcThreshold);
        if (comp.getRatio() != ratio)
            comp.setRatio(dcSmoother.tick(dcThreshold));
        const float threshold = acSmoother.tick(acThreshold);
        if (comp.getThreshold() != -threshold)
            comp.setThreshold(-acSmoother.tick(acThreshold));
        if (comp.getKnee() != kneeTarget)
            comp.setKnee(kneeTarget);

        const double gl = std::exp(g * kDbToLinear);
        const float o1 = outputGainSmoother.tick(outputGain);
        const double wetL = gl * satL * o1;
        const float o2 = outputGainSmoother.tick(outputGain);
        const double wetR = gl * satR * o2;

        const float m1 = mixSmoother.tick(mix);
        const float m2 = mixSmoother.tick(mix);
        const double mixedL = (1.0 - m1) * lin + m2 * wetL;
        const float m3 = mixSmoother.tick(mix);
        const float m4 = mixSmoother.tick(mix);
        const double mixedR = (1.0 - m3) * rin + m4 * wetR;

        const bool engaged = TruncateToInt32(bypassParam.Value()) != 0;
        meterValue = engaged ? 1.0 - gl : 0.0;
        outL[i] = engaged ? mixedL : lin;
        outR[i] = engaged ? mixedR : rin;

        if (editor) {
            const double m = std::fabs(meterValue);
            const double target = m > meterState ? m * 1.0125 : m * 0.9875;
            meterState = (meterState - target) * meterCoef + target;
            if (meterControlIndex >= 0 && meterControlIndex < editor->ControlCount())
                editor->ReceiveControlValue(meterControlIndex, meterState);
        }
    }
}
