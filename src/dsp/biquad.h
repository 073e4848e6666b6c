#pragma once

// Second-order section, transposed direct form II; used as the sidechain
// high-pass. Starts as an identity section.
class biquad {
public:
    // fc is the cutoff divided by the sample rate. Called once per block, so it
    // returns early when nothing changed. Leaves z1, z2 alone.
    void setHighPass(double fc, double q);
    double tick(double x);

    bool stateIsFinite() const;
    void clearState();

    double getA0() const { return a0; }
    double getA1() const { return a1; }
    double getA2() const { return a2; }
    double getB1() const { return b1; }
    double getB2() const { return b2; }
    double getCutoff() const { return cutoff; }
    double getQ() const { return Q; }
    double getGain() const { return gain; }

private:
    double a0 = 1.0, a1 = 0.0, a2 = 0.0;   // feed-forward
    double b1 = 0.0, b2 = 0.0;   // feedback, subtracted in tick
    double cutoff = 0.5;
    double Q = 0.707;
    double gain = 0.0;   // dB; the high-pass response ignores it
    double z1 = 0.0, z2 = 0.0;
    // cutoff and Q above describe no design yet, so the first setHighPass must
    // compute even when handed exactly those values.
    bool designed = false;
};

// Inline: runs once per sample on the audio thread.
inline double biquad::tick(double x)
{
    const double out = x * a0 + z1;
    z1 = x * a1 + z2 - out * b1;
    z2 = x * a2 - out * b2;
    return out;
}

inline bool biquad::stateIsFinite() const
{
    // x - x is 0 for every finite x and NaN otherwise.
    return ((z1 - z1) + (z2 - z2)) == 0.0;
}
