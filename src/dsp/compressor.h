#pragma once

#include "dsp/envFollower.h"
#include "dsp/portableMath.h"

#include <cmath>

// Peak detector plus static gain curve: threshold, ratio and a soft knee whose
// width scales with the threshold's magnitude (a 0 dB threshold is always a
// hard knee). Gains are in dB; 0 or negative while the ratio is at least 1.
class compressor : public envFollower {
public:
    // ln(x) * kLnToDb = 20 log10(x); exp(dB * kDbToLinear) = 10^(dB / 20).
    static constexpr double kLnToDb = 8.685889638065037;
    static constexpr double kDbToLinear = 0.1151292546497;

    compressor();

    // detect, computeGain, then apply the gain to x.
    double process(double x) override;
    double computeGain();
    // computeGain with a log that is not correctly rounded (portableMath::fastLog):
    // the same gain within a few units in the last place, for the audio path.
    double computeGainFast();
    // computeGainFast's gain for two envelopes, side by side in lanes,
    // leaving the detector as it is: each the bits computeGainFast would give.
    void gainsFast(double envelopeA, double envelopeB, double& gainA, double& gainB) const;
    // gainsFast after its logs: from fastLogPair's logs of the envelopes' magnitudes.
    void gainsFromLogs(double logA, double logB, double& gainA, double& gainB) const;

    // The curve a gain step reads, kept per sample by a chain that makes its
    // gains later, two at a time.
    struct Curve {
        double threshold, ratio, kneeWidth, kneeLow, kneeHigh;
    };
    Curve curve() const { return {threshold, ratio, kneeWidth, kneeLow, kneeHigh}; }
    // computeGainFast's gain for two envelopes, each under its own curve.
    static void gainsFast(double envelopeA, const Curve& a, double envelopeB, const Curve& b, double& gainA,
                          double& gainB);
    static void gainsFromLogs(double logA, const Curve& a, double logB, const Curve& b, double& gainA, double& gainB);
    // The last gain made, when the chain made it through gainsFast.
    void setGainDb(double g) { gainDb = g; }

    void setThreshold(double dB);
    void setRatio(double r);
    void setKnee(double k);

    double getGainDb() const { return gainDb; }
    double getKnee() const { return knee; }
    double getRatio() const { return ratio; }
    double getThreshold() const { return threshold; }
    double getKneeWidth() const { return kneeWidth; }
    double getKneeLow() const { return kneeLow; }
    double getKneeHigh() const { return kneeHigh; }
    double getSlope() const { return slope; }

private:
    // Keeps kneeWidth = -threshold * knee and the bounds centred on the threshold.
    void deriveKnee();
    // The gain step for an envelope of e dB.
    double gainFromDb(double e);

    double gainDb;   // last gain computed
    double knee;   // knee width as a fraction of |threshold|
    double ratio;
    double threshold;   // dB
    double kneeWidth;   // dB
    double kneeLow;
    double kneeHigh;
    double slope;   // 1 - 1 / ratio
};

// Inline: the chain runs these on a working copy of the detector every sample.
inline double compressor::computeGain()
{
    return gainFromDb(portableMath::log(std::fabs(envelope)) * kLnToDb);
}

inline double compressor::computeGainFast()
{
    return gainFromDb(portableMath::fastLog(std::fabs(envelope)) * kLnToDb);
}

inline double compressor::gainFromDb(double e)
{
    // Re-derived every step so a ratio written any other way cannot leave it stale.
    slope = 1.0 - 1.0 / ratio;
    // An envelope of 0 gives e = -inf: no gain when compressing, -inf when expanding.

    double g;
    if (kneeWidth > 0.0 && e > kneeLow && e < kneeHigh) {
        // Quadratic knee, -slope * (e - kneeLow)^2 / (2 * kneeWidth); it meets the
        // straight line at both bounds. The scaled slope stays local.
        const double s = ((e - kneeLow) / kneeWidth) * 0.5 * slope;
        g = (kneeLow - e) * s;
    } else {
        g = (threshold - e) * slope;
        // Never a boost; also maps NaN (ratio 1 at an envelope of 0: inf * 0) to 0.
        if (!(g < 0.0))
            g = 0.0;
    }
    gainDb = g;
    return g;
}

inline void compressor::deriveKnee()
{
    kneeWidth = threshold * knee * (-1.0);
    kneeLow = threshold - kneeWidth * 0.5;
    kneeHigh = threshold + kneeWidth * 0.5;
}

inline void compressor::setThreshold(double dB)
{
    threshold = dB;
    deriveKnee();
}

inline void compressor::setRatio(double r)
{
    deriveKnee();
    ratio = r;
    slope = 1.0 - 1.0 / r;
}

inline void compressor::setKnee(double k)
{
    knee = k;
    deriveKnee();
}

inline void compressor::gainsFast(double envelopeA, double envelopeB, double& gainA, double& gainB) const
{
    double logA;
    double logB;
    portableMath::fastLogPair(std::fabs(envelopeA), std::fabs(envelopeB), logA, logB);
    gainsFromLogs(logA, logB, gainA, gainB);
}

inline void compressor::gainsFromLogs(double logA, double logB, double& gainA, double& gainB) const
{
    using namespace lanes;
    // One curve for both lanes: its values broadcast, the slope made once.
    const double slopeNow = 1.0 - 1.0 / ratio;
    const lanes::Pair e = mul(make(logA, logB), both(kLnToDb));
    const lanes::Pair low = both(kneeLow);
    const lanes::Pair width = both(kneeWidth);
    const lanes::Pair s = mul(mul(div(sub(e, low), width), both(0.5)), both(slopeNow));
    const lanes::Mask inKnee = all(greater(width, both(0.0)), greater(e, low), less(e, both(kneeHigh)));
    const lanes::Pair kneeGain = mul(sub(low, e), s);
    const lanes::Pair line = mul(sub(both(threshold), e), both(slopeNow));
    const lanes::Pair lineGain = keep(less(line, both(0.0)), line);
    store(select(inKnee, kneeGain, lineGain), gainA, gainB);
}

inline void compressor::gainsFast(double envelopeA, const Curve& a, double envelopeB, const Curve& b, double& gainA,
                                  double& gainB)
{
    double logA;
    double logB;
    portableMath::fastLogPair(std::fabs(envelopeA), std::fabs(envelopeB), logA, logB);
    gainsFromLogs(logA, a, logB, b, gainA, gainB);
}

inline void compressor::gainsFromLogs(double logA, const Curve& a, double logB, const Curve& b, double& gainA,
                                      double& gainB)
{
    using namespace lanes;
    const lanes::Pair one = both(1.0);
    const lanes::Pair slopeNow = sub(one, div(one, make(a.ratio, b.ratio)));
    const lanes::Pair e = mul(make(logA, logB), both(kLnToDb));
    const lanes::Pair low = make(a.kneeLow, b.kneeLow);
    const lanes::Pair width = make(a.kneeWidth, b.kneeWidth);
    const lanes::Pair s = mul(mul(div(sub(e, low), width), both(0.5)), slopeNow);
    const lanes::Mask inKnee = all(greater(width, both(0.0)), greater(e, low), less(e, make(a.kneeHigh, b.kneeHigh)));
    const lanes::Pair kneeGain = mul(sub(low, e), s);
    const lanes::Pair line = mul(sub(make(a.threshold, b.threshold), e), slopeNow);
    // Never a boost; NaN gives 0 too: keep the line only where it is below 0.
    const lanes::Pair lineGain = keep(less(line, both(0.0)), line);
    store(select(inKnee, kneeGain, lineGain), gainA, gainB);
}
