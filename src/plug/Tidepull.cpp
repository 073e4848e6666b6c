#include "plug/Tidepull.h"

#include "core/FixedText.h"
#include "core/NonFinite.h"
#include "dsp/alwaysInline.h"
#include "dsp/lanePair.h"
#include "dsp/portableMath.h"
#include "dsp/sameBits.h"
#include "dsp/saturateTable.h"
#include "dsp/stageFilterPair.h"
#include "plug/TidepullEditorLayout.h"
#include "plug/TidepullIdentity.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <type_traits>

namespace {

// Release positions: time to 1 % and knee factor. Positions 4 and 5 take
// their time from the sidechain level of the sample.
constexpr double kReleaseMs[4] = {300.0, 800.0, 2000.0, 5000.0};
constexpr double kReleaseKnee[6] = {1.0, 0.8, 0.6, 0.5, 0.6, 0.4};

constexpr double kDbToLinear = compressor::kDbToLinear;

// Only formats with an editor link the editor's code: a template, so that
// the call is not even compiled where the branch is discarded.
template <class Plug>
void BuildEditor(Plug& plug)
{
    if constexpr (Plug::kBuildsEditor)
        TidepullEditorLayout::Build(plug);
}

}   // namespace

Tidepull::Tidepull()
    : FormatPlug(kNumParams, "2-2 4-2", 1, TidepullIdentity::kProduct, "", TidepullIdentity::kVendor,
               TidepullIdentity::kVersionWord, FourCharCode(TidepullIdentity::kPlugCode),
               FourCharCode(TidepullIdentity::kMakerCode)),
      meterState(1.0),
      makeupGain(portableMath::pow(10.0, 0.25)),
      saturation(&saturateTable::shared())
{
    ParamAt(kInputAtten)->InitContinuous("Input Atten", 0.0, -18.0, 18.0, 0.01, "dB", "", 1.0);
    ParamAt(kOutput)->InitContinuous("Output", 0.0, -18.0, 18.0, 0.01, "dB", "", 1.0);
    ParamAt(kAcThreshold)->InitContinuous("AC Threshold", 0.0, 0.0, 50.0, 0.01, "dB", "", 1.0);
    ParamAt(kDcThreshold)->InitContinuous("DC Threshold", 2.0, 1.0, 10.0, 0.01, ":1", "", 1.0);
    ParamAt(kHpf)->InitContinuous("HPF", 20.0, 20.0, 500.0, 0.01, "Hz", "", 1.0);
    ParamAt(kMix)->InitContinuous("MIX", 100.0, 0.0, 100.0, 0.01, "%", "", 1.0);
    ParamAt(kRelease)->InitInteger("Release", 0, 0, 5, "", "");
    ParamAt(kBypass)->InitInteger("Engage", 1, 0, 1, "", "");
    ParamAt(kExternalSidechain)->InitInteger("External Sidechain", 0, 0, 1, "", "");
    for (int32_t i = kInputAtten; i <= kMix; ++i)
        ParamAt(i)->SetShapeExponent(1.0);

    // The host restores the default preset before processing, but a block run
    // before that must still see defined engine values.
    for (int32_t i = 0; i < kNumParams; ++i)
        ParamChanged(i);

    BuildEditor(*this);
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
    case kInputAtten: inputGain = portableMath::pow(10.0, v / 20.0); break;
    case kOutput: outputGain = portableMath::pow(10.0, v / 20.0); break;
    case kAcThreshold: acThreshold = v; break;
    case kDcThreshold: dcThreshold = v; break;
    case kHpf: hpfFreq = v; break;
    case kMix: mix = v / 100.0; break;
    default: break;   // Release, Bypass and External Sidechain are read per sample
    }
}

double Tidepull::TailSeconds() const
{
    // The band-pass's 3 Hz pole rings longest after a step: driven +18 dB in
    // and out, a full-scale one takes 219 ms to fall below -90 dBFS at every
    // rate. Music stops sooner.
    return 0.3;
}

void Tidepull::ClearNonFiniteState()
{
    // One NaN or infinite sample would otherwise poison the recursive state
    // for good. Finite state is never touched, so finite audio is unchanged.
    // x - x is 0 for every finite x and NaN otherwise: one test for all the
    // smoothers, and the usual block leaves after the first few tests.
    const float smootherSum = (inputGainSmoother.getState() - inputGainSmoother.getState()) +
        (dcSmoother.getState() - dcSmoother.getState()) + (acSmoother.getState() - acSmoother.getState()) +
        (outputGainSmoother.getState() - outputGainSmoother.getState()) +
        (mixSmoother.getState() - mixSmoother.getState());
    if (smootherSum == 0.0f && (meterState - meterState) == 0.0 && stageL.stateIsFinite() && stageR.stateIsFinite() &&
        sidechainFilter.stateIsFinite() && comp.stateIsFinite())
        return;

    if (!stageL.stateIsFinite())
        stageL.clearState();
    if (!stageR.stateIsFinite())
        stageR.clearState();
    if (!sidechainFilter.stateIsFinite())
        sidechainFilter.clearState();
    if (!comp.stateIsFinite()) {
        comp.clearState();
        gainKnown = false;
    }
    paramSmoother* smoothers[] = {&inputGainSmoother, &dcSmoother, &acSmoother, &outputGainSmoother, &mixSmoother};
    for (paramSmoother* s : smoothers) {
        if (!s->stateIsFinite())
            s->clearState();
    }
    if (!std::isfinite(meterState))
        meterState = 0.0;
}

TIDEPULL_ALWAYS_INLINE inline void Tidepull::RunChains(double** inputs, double** outputs, int32_t nFrames, bool engaged,
                                                       bool wetOut)
{
    checkInputs = InputsUnchecked();
    // The input gain is read nine times a sample. Settled, every read gives
    // the same value, and most of the chain's work can be shared.
    const int32_t done = inputGainSmoother.settledAt(inputGain)
        ? RunChain<true>(inputs, outputs, nFrames, engaged, wetOut)
        : RunChain<false>(inputs, outputs, nFrames, engaged, wetOut);
    if (done < nFrames)
        ContinueChains(inputs, outputs, done, nFrames, engaged, wetOut);
}

void Tidepull::ContinueChains(double** inputs, double** outputs, int32_t from, int32_t nFrames, bool engaged,
                              bool wetOut)
{
    auto run = [&](double** in, double** out, int32_t n) {
        return inputGainSmoother.settledAt(inputGain) ? RunChain<true>(in, out, n, engaged, wetOut)
                                                      : RunChain<false>(in, out, n, engaged, wetOut);
    };
    while (from < nFrames && !stoppedOnNonFinite) {
        // A glide came to rest: the settled chain takes the rest.
        double* in[4] = {inputs[0] + from, inputs[1] + from, inputs[2] + from, inputs[3] + from};
        double* out[2] = {outputs[0] + from, outputs[1] + from};
        from += run(in, out, nFrames - from);
    }
    if (from >= nFrames)
        return;
    // A stretch ahead holds a NaN or infinite sample: from here on the chain
    // reads a copy with those samples silent. Copied before any output of
    // the chunk is written, as the host may process in place.
    checkInputs = false;
    stoppedOnNonFinite = false;
    while (from < nFrames) {
        const int32_t n = std::min(nFrames - from, kCleanChunk);
        double* in[4];
        for (int32_t c = 0; c < 4; ++c) {
            in[c] = cleanInputs.data() + c * kCleanChunk;
            NonFinite::Scrub(inputs[c] + from, static_cast<size_t>(n), in[c]);
        }
        for (int32_t done = 0; done < n;) {
            double* part[4] = {in[0] + done, in[1] + done, in[2] + done, in[3] + done};
            double* out[2] = {outputs[0] + from + done, outputs[1] + from + done};
            done += run(part, out, n - done);
        }
        from += n;
    }
}

void Tidepull::ProcessBlock(double** inputs, double** outputs, int32_t nFrames)
{
    const double rate = SampleRate();
    // The setters give the same coefficients for the same bits; most blocks
    // need not call them at all.
    if (!coefficientsMade || !sameBits(rate, coefficientsRate) || !sameBits(hpfFreq, coefficientsHpf)) {
        stageL.setRate(2.0 * rate);
        stageR.setRate(2.0 * rate);
        sidechainFilter.setHighPass((hpfFreq + 25.0) / rate, 0.707);
        // Attack, hold and release take the same time at every rate.
        comp.setSampleRate(rate);
        coefficientsMade = true;
        coefficientsRate = rate;
        coefficientsHpf = hpfFreq;
    }
    if (nFrames <= 0)
        return;

    ClearNonFiniteState();

    const bool engaged = TruncateToInt32(ParamAt(kBypass)->Value()) != 0;
    if (FreshStart() || engaged != engageFade.Wet() || engageFade.Fading()) {
        SwitchingBlock(inputs, outputs, nFrames, engaged);
        return;
    }
    RunChains(inputs, outputs, nFrames, engaged, engaged);
}

void Tidepull::SwitchingBlock(double** inputs, double** outputs, int32_t nFrames, bool engaged)
{
    if (FreshStart())
        engageFade.Jump(engaged);
    else if (engaged != engageFade.Wet())
        engageFade.Head(engaged, SampleRate());
    EndFreshStart();

    int32_t done = 0;
    while (done < nFrames && engageFade.Fading()) {
        const int32_t n = std::min({nFrames - done, engageFade.Remaining(), Crossfade::kChunk});
        double* in[4] = {inputs[0] + done, inputs[1] + done, inputs[2] + done, inputs[3] + done};
        double* out[2] = {outputs[0] + done, outputs[1] + done};
        // Kept first: the host may hand the same memory for input and output.
        engageFade.KeepDry(in, n);
        RunChains(in, out, n, engaged, true);
        engageFade.Blend(out, n);
        done += n;
    }
    if (done < nFrames) {
        double* in[4] = {inputs[0] + done, inputs[1] + done, inputs[2] + done, inputs[3] + done};
        double* out[2] = {outputs[0] + done, outputs[1] + done};
        RunChains(in, out, nFrames - done, engaged, engaged);
    }
}

namespace {

// One read of a smoother. A settled one would give back its state unchanged,
// so the step is skipped (a MIX of 0 leaves the mix smoother resting on a
// subnormal, which every skipped step would have touched).
inline float Read(paramSmoother& s, bool settled, double target)
{
    return settled ? s.getState() : s.tick(target);
}

}   // namespace

template <bool kInputGainSettled>
int32_t Tidepull::RunChain(double** inputs, double** outputs, int32_t nFrames, bool engaged, bool wetOut)
{
    const double rate = SampleRate();
    if (!sameBits(rate, meterCoefRate)) {
        // Meter ballistics: the distance shrinks to 1 % in 300 ms.
        meterCoef = portableMath::exp(-4.60517018599 / (rate * 0.3));
        meterCoefRate = rate;
    }
    const saturateTable& curve = *saturation;

    // Release and External Sidechain are read once per block (Engage by
    // the caller, once for the block and its fade). Every
    // writer of them that runs alongside a block (host automation, the editor,
    // state and presets) holds the plug mutex, which our caller holds for the
    // whole block; an unlocked write from elsewhere is unordered with the
    // block and may as well have landed after it.
    int32_t position = TruncateToInt32(ParamAt(kRelease)->Value());
    position = position < 0 ? 0 : (position > 5 ? 5 : position);
    const double knee = kReleaseKnee[position];
    const bool external = TruncateToInt32(ParamAt(kExternalSidechain)->Value()) == 1;
    // Controls are added when the editor is built, never while processing.
    EditorLink* const editor = GetEditor();
    const bool pushMeter = editor && meterControlIndex >= 0 && meterControlIndex < editor->ControlCount();
    // The ballistics cost time; they run for an editor, or always where the
    // format reports the meter to the host.
    const bool metering = FormatPlug::kReportsMeter || editor != nullptr;

    const double* inL = inputs[0];
    const double* inR = inputs[1];
    const double* scL = inputs[2];
    const double* scR = inputs[3];
    double* outL = outputs[0];
    double* outR = outputs[1];
    // A stretch is checked just before the chain reads it, while its lines
    // come in anyway. The sidechain is read only when it is the key.
    const bool check = checkInputs;
    stoppedOnNonFinite = false;
    auto stretchIsFinite = [&](int32_t start, int32_t end) {
        const size_t n = static_cast<size_t>(end - start);
        return !NonFinite::Any(inL + start, n) && !NonFinite::Any(inR + start, n) &&
            (!external || (!NonFinite::Any(scL + start, n) && !NonFinite::Any(scR + start, n)));
    };

    // Working copies of all running state: locals the compiler can keep in
    // registers, since no host buffer can alias them. Written back once.
    // Both filters take their three clocks side by side, their state in
    // registers.
    stageFilterPair filters(stageL, stageR);
    // Settled, the sidechain filter and the detector work in place: their
    // loop writes no host buffer, and copying them in and out costs more
    // per call than it saves. Moving, the longer loops keep their working
    // copies in registers.
    using HighPassCopy = std::conditional_t<kInputGainSettled, biquad&, biquad>;
    using DetectorCopy = std::conditional_t<kInputGainSettled, compressor&, compressor>;
    HighPassCopy highPass = sidechainFilter;
    DetectorCopy detector = comp;
    paramSmoother inputGainCopy = inputGainSmoother;
    paramSmoother dcCopy = dcSmoother;
    paramSmoother acCopy = acSmoother;
    paramSmoother outputGainCopy = outputGainSmoother;
    paramSmoother mixCopy = mixSmoother;
    const double inputGainTarget = inputGain;
    const double dcTarget = dcThreshold;
    const double acTarget = acThreshold;
    const double outputGainTarget = outputGain;
    const double mixTarget = mix;
    double level = scLevel;
    double gain = gainDb;
    double reduction = meterValue;
    double meter = meterState;
    double release = releaseMs;

    const bool dcSettled = dcCopy.settledAt(dcTarget);
    const bool acSettled = acCopy.settledAt(acTarget);
    const bool outputGainSettled = outputGainCopy.settledAt(outputGainTarget);
    const bool mixSettled = mixCopy.settledAt(mixTarget);
    // Only read on the settled path, where every tick would return it.
    const float settledGain = inputGainCopy.getState();

    // computeGain reads the envelope and the curve (threshold, ratio, knee)
    // and nothing else: while neither has changed since the last call, its
    // result and the exp of it stand, also from one block to the next. The
    // envelope is frozen through every hold, and resting in silence.
    bool curveMoved = !gainKnown;
    double envelopeAtGain = gainEnvelope;
    double linearGain = gainLinear;

    // The setters return early while their inputs stay the same (a new rate
    // makes them compute again). Positions 4 and 5, whose time follows the
    // level, make a new coefficient nearly every sample: there the faster
    // one, not correctly rounded.
    auto detectorTimes = [&]() TIDEPULL_ALWAYS_INLINE {
        const double absLevel = std::fabs(level);
        detector.setAttack(0.8);
        if (position < 4) {
            release = kReleaseMs[position];
            detector.setRelease(release);
        } else {
            release = position == 4 ? 3000.0 * absLevel + 7000.0 : 15000.0 * absLevel + 10000.0;
            detector.setReleaseFast(release);
        }
        detector.setHold(3.0);
    };

    // Ratio and threshold glide; a moving smoother takes a second step.
    auto curveGlides = [&]() TIDEPULL_ALWAYS_INLINE {
        const float ratio = Read(dcCopy, dcSettled, dcTarget);
        if (detector.getRatio() != ratio) {
            detector.setRatio(Read(dcCopy, dcSettled, dcTarget));
            curveMoved = true;
        }
        const float threshold = Read(acCopy, acSettled, acTarget);
        if (detector.getThreshold() != -threshold) {
            detector.setThreshold(-Read(acCopy, acSettled, acTarget));
            curveMoved = true;
        }
        if (detector.getKnee() != knee) {
            detector.setKnee(knee);
            curveMoved = true;
        }
    };

    // With the curve standing still for the whole stretch (ratio and
    // threshold settled and set, the knee set), the gain is a function of
    // the envelope alone.
    auto curveStandsStill = [&]() TIDEPULL_ALWAYS_INLINE {
        return !curveMoved && dcSettled && acSettled && detector.getRatio() == dcCopy.getState() &&
            detector.getThreshold() == -acCopy.getState() && detector.getKnee() == knee;
    };
    // A stretch whose curve stands still: the detector sample by
    // sample, then the gain step two envelopes at a time. An envelope that
    // keeps the bits of the last one a gain was made for reuses that gain;
    // a pair with a new one is made anew (the same bits either way).
    constexpr int32_t kStretch = 64;
    static_assert((kStretch & (kStretch - 1)) == 0, "stretch offsets are taken by masking");
    // levelGain(k): the input gain the sidechain level of the stretch's
    // sample k is scaled by (t9).
    // Gains moving through most of a stretch: every pair made, the logs of
    // all, then the gains, then the exps, each loop free of the others'
    // latency. A gain that could have been reused has the same bits made
    // anew. An odd stretch (never longer than kStretch - 1) ends in a pair
    // of its last envelope, written past the end.
    auto everyGain = [&](int32_t n, const double* envelopes, double* out, auto gainsFromLogs) TIDEPULL_ALWAYS_INLINE {
        double logs[kStretch];
        double dbs[kStretch];
        for (int32_t k = 0; k < n; k += 2) {
            const int32_t k2 = k + 1 < n ? k + 1 : k;
            portableMath::fastLogPair(std::fabs(envelopes[k]), std::fabs(envelopes[k2]), logs[k], logs[k + 1]);
        }
        for (int32_t k = 0; k < n; k += 2)
            gainsFromLogs(k, k + 1 < n ? k + 1 : k, logs[k], logs[k + 1], dbs[k], dbs[k + 1]);
        for (int32_t k = 0; k < n; k += 2)
            portableMath::fastExpPair(dbs[k] * kDbToLinear, dbs[k + 1] * kDbToLinear, out[k], out[k + 1]);
        gain = dbs[n - 1];
        linearGain = out[n - 1];
        detector.setGainDb(gain);
    };
    auto steadyCurveGains = [&](int32_t start, int32_t end, double* out, auto levelGain) TIDEPULL_ALWAYS_INLINE {
        double envelopes[kStretch];
        for (int32_t i = start; i < end; ++i) {
            // Sidechain: the sum is not halved, a centred signal reads 6 dB hot.
            const double v = external ? scL[i] + scR[i] : inR[i] + inL[i];
            // The sum and the filtered level pass through single precision,
            // as the detector's sound was made: those roundings are heard.
            const double hp = highPass.tick(static_cast<float>(v));
            level = static_cast<double>(static_cast<float>(hp) * levelGain(i - start));
            detector.detectSelect(level);
            envelopes[i - start] = detector.getEnvelope();
            detectorTimes();
        }
        const int32_t n = end - start;
        int32_t moves = 0;
        for (int32_t k = 0; k < n; ++k)
            moves += !sameBits(envelopes[k], k == 0 ? envelopeAtGain : envelopes[k - 1]);
        if (moves == 0) {
            for (int32_t k = 0; k < n; ++k)
                out[k] = linearGain;
            return;
        }
        if (moves * 4 >= n) {
            everyGain(n, envelopes, out, [&](int32_t, int32_t, double logA, double logB, double& a, double& b) {
                detector.gainsFromLogs(logA, logB, a, b);
            });
            envelopeAtGain = envelopes[n - 1];
            return;
        }
        bool made = false;
        for (int32_t k = 0; k < n; k += 2) {
            const int32_t k2 = k + 1 < n ? k + 1 : k;
            if (sameBits(envelopes[k], envelopeAtGain) && sameBits(envelopes[k2], envelopeAtGain)) {
                out[k] = linearGain;
                out[k2] = linearGain;
                continue;
            }
            double gainA;
            double gainB;
            detector.gainsFast(envelopes[k], envelopes[k2], gainA, gainB);
            portableMath::fastExpPair(gainA * kDbToLinear, gainB * kDbToLinear, out[k], out[k2]);
            gain = gainB;
            linearGain = out[k2];
            envelopeAtGain = envelopes[k2];
            made = true;
        }
        // The detector keeps the last gain made, as computeGainFast leaves it.
        if (made)
            detector.setGainDb(gain);
    };

    // A stretch whose curve glides: the detector, the glides and the
    // choice between a new gain and the last one sample by sample, keeping
    // each sample's envelope and curve; then the gains two at a time.
    auto movingCurveGains = [&](int32_t start, int32_t end, double* out, auto levelGain) TIDEPULL_ALWAYS_INLINE {
        double envelopes[kStretch];
        compressor::Curve curves[kStretch];
        bool fresh[kStretch];
        for (int32_t i = start; i < end; ++i) {
            const int32_t k = i - start;
            const double v = external ? scL[i] + scR[i] : inR[i] + inL[i];
            // Single precision here too: the same roundings as above.
            const double hp = highPass.tick(static_cast<float>(v));
            level = static_cast<double>(static_cast<float>(hp) * levelGain(k));
            detector.detectSelect(level);
            envelopes[k] = detector.getEnvelope();
            curves[k] = detector.curve();
            fresh[k] = curveMoved || !sameBits(envelopes[k], envelopeAtGain);
            if (fresh[k]) {
                envelopeAtGain = envelopes[k];
                curveMoved = false;
            }
            detectorTimes();
            curveGlides();
        }
        const int32_t n = end - start;
        int32_t freshCount = 0;
        for (int32_t k = 0; k < n; ++k)
            freshCount += fresh[k] ? 1 : 0;
        if (freshCount * 4 >= n) {
            everyGain(n, envelopes, out, [&](int32_t k, int32_t k2, double logA, double logB, double& a, double& b) {
                compressor::gainsFromLogs(logA, curves[k], logB, curves[k2], a, b);
            });
            return;
        }
        bool made = false;
        for (int32_t k = 0; k < n; k += 2) {
            const int32_t k2 = k + 1 < n ? k + 1 : k;
            if (!fresh[k] && !fresh[k2]) {
                out[k] = linearGain;
                out[k2] = linearGain;
                continue;
            }
            // A sample that needs no new gain has the envelope and curve of
            // the last one made: making it again gives the same bits.
            double gainA;
            double gainB;
            compressor::gainsFast(envelopes[k], curves[k], envelopes[k2], curves[k2], gainA, gainB);
            portableMath::fastExpPair(gainA * kDbToLinear, gainB * kDbToLinear, out[k], out[k2]);
            gain = gainB;
            linearGain = out[k2];
            made = true;
        }
        if (made)
            detector.setGainDb(gain);
    };

    // One sample's wet and dry mix, output and meter. The meter's value of
    // each sample is kept and handed to the editor a stretch at a time
    // (stretches start at multiples of their length, which divides kStretch).
    double meters[kStretch];
    auto finishStep = [&](int32_t i, double lin, double rin, double mixedL, double mixedR, double gainNow)
                          TIDEPULL_ALWAYS_INLINE {
        reduction = engaged ? 1.0 - gainNow : 0.0;
        outL[i] = wetOut ? mixedL : lin;
        outR[i] = wetOut ? mixedR : rin;

        if (metering) {
            // Both ballistics made, one kept: the comparison with the last
            // value then runs beside the step instead of before it.
            const double m = std::fabs(reduction);
            const double rise = m * 1.0125;
            const double fall = m * 0.9875;
            const double rising = (meter - rise) * meterCoef + rise;
            const double falling = (meter - fall) * meterCoef + fall;
            meter = m > meter ? rising : falling;
            meters[i & (kStretch - 1)] = meter;
        }
    };
    auto outputStep = [&](int32_t i, double lin, double rin, double satL, double satR, double gainNow)
                          TIDEPULL_ALWAYS_INLINE {
        const float o1 = Read(outputGainCopy, outputGainSettled, outputGainTarget);
        const double wetL = gainNow * satL * o1;
        const float o2 = Read(outputGainCopy, outputGainSettled, outputGainTarget);
        const double wetR = gainNow * satR * o2;

        const float m1 = Read(mixCopy, mixSettled, mixTarget);
        const float m2 = Read(mixCopy, mixSettled, mixTarget);
        const double mixedL = (1.0 - m1) * lin + m2 * wetL;
        const float m3 = Read(mixCopy, mixSettled, mixTarget);
        const float m4 = Read(mixCopy, mixSettled, mixTarget);
        const double mixedR = (1.0 - m3) * rin + m4 * wetR;
        finishStep(i, lin, rin, mixedL, mixedR, gainNow);
    };

    // The sidechain of a stretch of samples runs apart from its audio:
    // shorter loops keep more in registers, and the gains go two at a time. Nothing of
    // one feeds the other but the gain, and every input of the stretch is
    // read before any output is written.
    double gains[kStretch];
    // A glide that has come to rest leaves the rest of the block to the
    // settled chain, which gives the same bits for less work: moving, the
    // stretches are shorter, so that it is found sooner.
    constexpr int32_t kMovingStretch = 16;
    static_assert(kStretch % kMovingStretch == 0, "moving stretches share the settled ones' meter slots");
    constexpr int32_t stretch = kInputGainSettled ? kStretch : kMovingStretch;
    int32_t start = 0;
    for (; start < nFrames; start += stretch) {
        if (!kInputGainSettled && start > 0 && inputGainCopy.settledAt(inputGainTarget))
            break;
        const int32_t end = nFrames - start < stretch ? nFrames : start + stretch;
        if (check && !stretchIsFinite(start, end)) {
            stoppedOnNonFinite = true;
            break;
        }
        if constexpr (kInputGainSettled) {
            auto settledLevelGain = [settledGain](int32_t) { return settledGain; };
            if (curveStandsStill())
                steadyCurveGains(start, end, gains, settledLevelGain);
            else
                movingCurveGains(start, end, gains, settledLevelGain);
            if (outputGainSettled && mixSettled) {
                // Output and mix settled too: every read of them gives their
                // state, and both channels go from the filter to the mix side
                // by side, each lane with outputStep's operations in its order.
                using namespace lanes;
                const double drive = settledGain;
                const lanes::Pair driveLanes = both(drive);
                const lanes::Pair makeup = both(makeupGain);
                const lanes::Pair level = both(outputGainCopy.getState());
                const double wetShare = mixCopy.getState();
                const lanes::Pair wet = both(wetShare);
                const lanes::Pair dry = both(1.0 - wetShare);
                // The saturation stage first, then the mix: two shorter
                // loops keep the filter's state in registers.
                lanes::Pair sats[kStretch];
                for (int32_t i = start; i < end; ++i) {
                    double sL;
                    double sR;
                    curve.evalPair(drive * inL[i], drive * inR[i], sL, sR);
                    sats[i - start] = mul(div(filters.tickHeldLanes(sL, sR), driveLanes), makeup);
                }
                for (int32_t i = start; i < end; ++i) {
                    const double lin = inL[i];
                    const double rin = inR[i];
                    const lanes::Pair sat = sats[i - start];
                    const double gainNow = gains[i - start];
                    const lanes::Pair wetLanes = mul(mul(both(gainNow), sat), level);
                    const lanes::Pair mixed = add(mul(dry, make(lin, rin)), mul(wet, wetLanes));
                    finishStep(i, lin, rin, lo(mixed), hi(mixed), gainNow);
                }
                if (pushMeter)
                    editor->ReceiveControlValues(meterControlIndex, meters + (start & (kStretch - 1)), end - start);
                continue;
            }
            for (int32_t i = start; i < end; ++i) {
                // Read every input of sample i before writing output i: the
                // host may process in place.
                const double lin = inL[i];
                const double rin = inR[i];
                // Saturation stage; the input gain only sets the drive, so it
                // is divided out again after the filter. Each filter is
                // clocked three times per sample with the input held; only the
                // first output counts. Settled, t1..t9 are one value: the
                // three clocks see the same argument, one saturate serves.
                const double drive = settledGain;
                double sL;
                double sR;
                curve.evalPair(drive * lin, drive * rin, sL, sR);
                double yL;
                double yR;
                filters.tickHeld(sL, sR, yL, yR);
                const double satL = yL / drive * makeupGain;
                const double satR = yR / drive * makeupGain;
                outputStep(i, lin, rin, satL, satR, gains[i - start]);
            }
        } else {
            // Moving, t9 comes after the saturation stage's eight steps. The
            // audio of the stretch runs to the band-pass first, then the
            // sidechain with each sample's t9, then the output: each
            // smoother still takes its steps in its own order.
            double satLs[kStretch];
            double satRs[kStretch];
            float levelGains[kStretch];
            for (int32_t i = start; i < end; ++i) {
                const double lin = inL[i];
                const double rin = inR[i];
                const float t1 = inputGainCopy.tick(inputGainTarget);
                const float t2 = inputGainCopy.tick(inputGainTarget);
                const float t3 = inputGainCopy.tick(inputGainTarget);
                const float t4 = inputGainCopy.tick(inputGainTarget);
                const double a1 = t1 * lin;
                const double a3 = t3 * rin;
                const double a5 = inputGainCopy.tick(inputGainTarget) * lin;
                const double a6 = inputGainCopy.tick(inputGainTarget) * rin;
                const double a7 = inputGainCopy.tick(inputGainTarget) * lin;
                const double a8 = inputGainCopy.tick(inputGainTarget) * rin;
                double s1, s3, s5, s6, s7, s8;
                curve.evalPair(a1, a3, s1, s3);
                curve.evalPair(a5, a6, s5, s6);
                curve.evalPair(a7, a8, s7, s8);
                // Three clocks with the inputs the curve gave; where those
                // are the same bits, the held clocks serve, as on the
                // settled path: the sound then does not depend on where
                // blocks begin.
                const lanes::Pair y = filters.clockThreeLanes(s1, s5, s7, s3, s6, s8);
                const lanes::Pair sat = lanes::mul(lanes::div(y, lanes::make(t2, t4)), lanes::both(makeupGain));
                lanes::store(sat, satLs[i - start], satRs[i - start]);
                levelGains[i - start] = inputGainCopy.tick(inputGainTarget);
            }
            auto movingLevelGain = [&levelGains](int32_t k) { return levelGains[k]; };
            if (curveStandsStill())
                steadyCurveGains(start, end, gains, movingLevelGain);
            else
                movingCurveGains(start, end, gains, movingLevelGain);
            for (int32_t i = start; i < end; ++i)
                outputStep(i, inL[i], inR[i], satLs[i - start], satRs[i - start], gains[i - start]);
        }
        if (pushMeter)
            editor->ReceiveControlValues(meterControlIndex, meters + (start & (kStretch - 1)), end - start);
    }

    filters.store(stageL, stageR);
    if constexpr (!kInputGainSettled) {
        sidechainFilter = highPass;
        comp = detector;
    }
    inputGainSmoother = inputGainCopy;
    dcSmoother = dcCopy;
    acSmoother = acCopy;
    outputGainSmoother = outputGainCopy;
    mixSmoother = mixCopy;
    scLevel = level;
    gainDb = gain;
    meterValue = reduction;
    meterState = meter;
    releaseMs = release;
    gainKnown = !curveMoved;
    gainEnvelope = envelopeAtGain;
    gainLinear = linearGain;
    kneeTarget = knee;
    return start < nFrames ? start : nFrames;
}
