#pragma once

#include "core/Crossfade.h"
#include "FormatPlug.h"
#include "dsp/biquad.h"
#include "dsp/compressor.h"
#include "dsp/paramSmoother.h"
#include "dsp/saturateTable.h"
#include "dsp/stageFilter.h"

#include <cstdint>
#include <vector>

// The Tidepull plug: a saturation stage into a fixed band-pass per channel,
// and one linked peak compressor driven from the main or external sidechain.
class Tidepull : public FormatPlug {
public:
    enum Param : int32_t {
        kInputAtten = 0,
        kOutput,
        kAcThreshold,
        kDcThreshold,
        kRelease,
        kHpf,
        kMix,
        kBypass,
        kExternalSidechain,
        kNumParams
    };

    Tidepull();

    void ParamChanged(int32_t paramIdx) override;
    void ProcessBlock(double** inputs, double** outputs, int32_t nFrames) override;

    // Where the meter's gain reduction goes in the attached editor.
    int32_t MeterControlIndex() const { return meterControlIndex; }
    void SetMeterControlIndex(int32_t idx) { meterControlIndex = idx; }

    double MeterState() const { return meterState; }
    double MeterValue() const { return meterValue; }
    double GainDb() const { return gainDb; }
    const compressor& Compressor() const { return comp; }
    const paramSmoother& InputGainSmoother() const { return inputGainSmoother; }
    const paramSmoother& DcSmoother() const { return dcSmoother; }
    const paramSmoother& AcSmoother() const { return acSmoother; }
    const paramSmoother& OutputGainSmoother() const { return outputGainSmoother; }
    const paramSmoother& MixSmoother() const { return mixSmoother; }

protected:
    double TailSeconds() const override;

private:
    void ClearNonFiniteState();
    // The per-sample chain over one block, or its first part. kInputGainSettled:
    // the input-gain smoother sits at its fixed point, so all its reads give
    // its state. Returns the frames done: moving, the chain stops where the
    // smoother has come to rest, for the settled chain to take the rest;
    // checking its inputs, before a stretch that holds a NaN or infinite
    // sample (stoppedOnNonFinite).
    template <bool kInputGainSettled>
    int32_t RunChain(double** inputs, double** outputs, int32_t nFrames, bool engaged, bool wetOut);
    // The chain over nFrames. The meter follows engaged; the output is the
    // mixed signal where wetOut is set, the untouched input elsewhere.
    void RunChains(double** inputs, double** outputs, int32_t nFrames, bool engaged, bool wetOut);
    // The chain from frame `from` on, after RunChain stopped short.
    void ContinueChains(double** inputs, double** outputs, int32_t from, int32_t nFrames, bool engaged, bool wetOut);
    // A block that starts fresh, switches Engage or goes on with its fade.
    void SwitchingBlock(double** inputs, double** outputs, int32_t nFrames, bool engaged);

    // Cached engine values, written by ParamChanged.
    double inputGain = 1.0;
    double outputGain = 1.0;
    double acThreshold = 0.0;
    double dcThreshold = 2.0;
    double hpfFreq = 20.0;
    double mix = 1.0;

    double releaseMs = 0.0;
    double kneeTarget = 0.0;
    double scLevel = 0.0;
    double gainDb = 0.0;
    double meterValue = 0.0;
    double meterState;
    int32_t meterControlIndex = -1;
    // Per-block constants, made once rather than every block.
    double meterCoef = 0.0;
    double meterCoefRate = 0.0;
    // The rate and HPF the filters' coefficients were last made for.
    bool coefficientsMade = false;
    double coefficientsRate = 0.0;
    double coefficientsHpf = 0.0;
    const double makeupGain;   // +5 dB
    const saturateTable* saturation;
    // The gain step's last result and the envelope it was made for; stands
    // while gainKnown and the envelope keeps its bits.
    bool gainKnown = false;
    double gainEnvelope = 0.0;
    double gainLinear = 0.0;

    compressor comp;
    biquad sidechainFilter;
    stageFilter stageL;
    stageFilter stageR;
    paramSmoother inputGainSmoother;
    paramSmoother dcSmoother;
    paramSmoother acSmoother;
    paramSmoother outputGainSmoother;
    paramSmoother mixSmoother;
    // Between the untouched input and the mixed output when Engage switches.
    Crossfade engageFade;
    // The inputs are the host's own, unchecked: the chain checks a stretch
    // before it reads it, and the rest of a call that holds a bad sample
    // reads a cleaned copy, a chunk at a time.
    bool checkInputs = false;
    bool stoppedOnNonFinite = false;
    static constexpr int32_t kCleanChunk = 256;
    std::vector<double> cleanInputs = std::vector<double>(4 * kCleanChunk);
};
