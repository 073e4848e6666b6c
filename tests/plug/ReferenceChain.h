#pragma once

#include "dsp/biquad.h"
#include "dsp/compressor.h"
#include "dsp/paramSmoother.h"
#include "dsp/stageFilter.h"

#include <cstdint>
#include <vector>

// An independent model of the per-sample chain, written step by step from the
// processing description on top of the building blocks. The plug must match it
// to the bit on finite input.
class ReferenceChain {
public:
    struct Params {
        double inputAtten = 0.0;
        double output = 0.0;
        double acThreshold = 0.0;
        double dcThreshold = 2.0;
        int32_t release = 0;
        double hpf = 20.0;
        double mix = 100.0;
        int32_t bypass = 1;
        int32_t externalSidechain = 0;
    };

    explicit ReferenceChain(double sampleRate) : rate(sampleRate) {}

    void setSampleRate(double r) { rate = r; }
    void process(const double* const* inputs, double* const* outputs, int32_t nFrames);

    Params params;
    bool editorAttached = false;
    // The plug's own guard against a non-finite sample, which the chain's
    // description does not have: at the start of a block every memory that
    // is not finite starts again from zero.
    bool recoverNonFinite = false;
    bool recordWet = false;
    std::vector<double> wetL;   // filled while recordWet is set

    double gainDb() const { return G; }
    double meterState() const { return meter; }
    double meterValue() const { return meterVal; }
    const compressor& comp() const { return detector; }
    const paramSmoother& inputGainSmoothing() const { return inputGainSmoother; }
    const paramSmoother& dcSmoothing() const { return dcSmoother; }
    const paramSmoother& acSmoothing() const { return acSmoother; }
    const paramSmoother& outputGainSmoothing() const { return outputGainSmoother; }
    const paramSmoother& mixSmoothing() const { return mixSmoother; }

private:
    double rate;
    // The Engage switch fades over 5 ms (at the rate of its start) along
    // 3p^2 - 2p^3, except before the first block.
    bool ran = false;
    bool engagedShown = true;
    int32_t fadeLength = 0;
    int32_t fadePosition = 0;   // samples into the processed side
    double G = 0.0;
    double meter = 1.0;
    double meterVal = 0.0;
    compressor detector;
    biquad sidechainFilter;
    stageFilter stageL;
    stageFilter stageR;
    paramSmoother inputGainSmoother;
    paramSmoother dcSmoother;
    paramSmoother acSmoother;
    paramSmoother outputGainSmoother;
    paramSmoother mixSmoother;
};
