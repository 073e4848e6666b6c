#pragma once

#include "dsp/envFollower.h"

// Peak detector plus static gain curve: threshold, ratio and a soft knee whose
// width scales with the threshold's magnitude (a 0 dB threshold is always a
// hard knee). Gains are in dB; 0 or negative while the ratio is at least 1.
class compressor : public envFollower {
public:
    compressor();

    // detect, computeGain, then apply the gain to x.
    double process(double x) override;
    double computeGain();

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

    double gainDb;     // last gain computed
    double knee;       // knee width as a fraction of |threshold|
    double ratio;
    double threshold;  // dB
    double kneeWidth;  // dB
    double kneeLow;
    double kneeHigh;
    double slope;      // 1 - 1 / ratio
};
