#pragma once

#include "dsp/portableMath.h"

#include <cmath>
#include <cstdint>

// Peak envelope detector with attack, hold and release.
//
// Deliberately a plain class: two virtual operations (init, process, in this
// slot order) and no virtual destructor. Owners hold it by value and never
// delete it through a base pointer.
class envFollower {
public:
    envFollower();

    // Sets mode and rate, recomputes every coefficient and clears the running state.
    virtual void init(int32_t mode, double attackMs, double releaseMs, double holdMs, double sampleRate);
    // One detect step. The follower only observes the signal, so x comes back unchanged.
    virtual double process(double x);

    void detect(double x);
    // detect without branches on the level: both candidate envelopes made,
    // one kept, so music's random rises cost no mispredicted jumps. The same
    // operations as detect on the kept value: detect's bits.
    void detectSelect(double x);

    // The setters keep the running state so a parameter change never makes the
    // envelope jump; they skip the pow when the time is unchanged, since the
    // chain calls them every sample.
    void setAttack(double ms);
    void setRelease(double ms);
    // setRelease with a coefficient that is not correctly rounded (within
    // 2^-50 relative), for release times that change every sample.
    void setReleaseFast(double ms);
    void setHold(double ms);
    // The rate the times are counted in. Keeps the running state; the next
    // setters recompute for the new rate, whatever times they are given.
    void setSampleRate(double rate);

    // Coefficient that shrinks the distance to a held target to 1 % in ms milliseconds.
    double timeCoef(double ms) const;

    bool stateIsFinite() const;
    void clearState();

    double getEnvelope() const { return envelope; }
    int32_t getHoldCount() const { return holdCount; }
    int32_t getHoldLength() const { return holdLength; }
    double getAttackCoef() const { return attackCoef; }
    double getReleaseCoef() const { return releaseCoef; }
    double getSampleRate() const { return sampleRate; }
    int32_t getMode() const { return mode; }

protected:
    int32_t mode;   // 0 = peak detection, the only mode defined
    double attackCoef;
    double releaseCoef;
    double envelope;   // linear
    double sampleRate;   // rate the coefficients and hold length were computed for
    int32_t holdCount;   // samples held since the envelope last rose
    int32_t holdLength;   // in samples

private:
    // Last times handed in, for the setters' early return. NaN means "unknown":
    // it compares unequal to everything, so the next setter recomputes.
    double lastAttackMs;
    double lastReleaseMs;
    double lastHoldMs;
};

// Inline: runs once per sample on the audio thread.
inline void envFollower::detect(double x)
{
    const double v = std::fabs(x);
    if (v > envelope) {
        // Strictly above: a level equal to the envelope is not a rise and falls
        // through to the hold branch, advancing it.
        envelope = (envelope - v) * attackCoef + v;
        holdCount = 0;
    } else if (holdCount < holdLength) {
        ++holdCount;
    } else {
        envelope = (envelope - v) * releaseCoef + v;
    }
}

inline void envFollower::detectSelect(double x)
{
    const double v = std::fabs(x);
    const double attacked = (envelope - v) * attackCoef + v;
    const double released = (envelope - v) * releaseCoef + v;
    const bool rise = v > envelope;
    const bool hold = holdCount < holdLength;
    // Rise: attack and restart the hold; else hold (count up) or release.
    const double other = hold ? envelope : released;
    envelope = rise ? attacked : other;
    const int32_t counted = holdCount + (hold ? 1 : 0);
    holdCount = rise ? 0 : counted;
}

// The setters are inline for the chain's hot loop, which runs them every
// sample on a working copy of the detector.
inline bool envFollower::stateIsFinite() const
{
    // x - x is 0 for every finite x and NaN otherwise.
    return ((envelope - envelope) + (attackCoef - attackCoef) + (releaseCoef - releaseCoef)) == 0.0;
}

inline void envFollower::setAttack(double ms)
{
    if (ms == lastAttackMs)
        return;
    lastAttackMs = ms;
    attackCoef = timeCoef(ms);
}

inline void envFollower::setRelease(double ms)
{
    if (ms == lastReleaseMs)
        return;
    lastReleaseMs = ms;
    releaseCoef = timeCoef(ms);
}

inline void envFollower::setReleaseFast(double ms)
{
    if (ms == lastReleaseMs)
        return;
    lastReleaseMs = ms;
    // pow(0.01, y) = e^(y ln 0.01), ln 0.01 rounded to double. Seconds-long
    // times give |x| below 2^-16, where e^x to x^3 leaves x^4/24 below 2^-67.
    const double x = -4.605170185988091 * (1.0 / (ms * sampleRate * 0.001));
    if (x > -0x1p-16 && x <= 0.0)
        releaseCoef = 1.0 + (x + x * x * (0.5 + x * (1.0 / 6)));
    else
        releaseCoef = portableMath::fastExp(x);
}

inline void envFollower::setHold(double ms)
{
    if (ms == lastHoldMs)
        return;
    lastHoldMs = ms;
    holdLength = static_cast<int32_t>(sampleRate * ms / 1000.0);
}

inline double envFollower::timeCoef(double ms) const
{
    // Multiplication order matters for bit-exact coefficients.
    return portableMath::pow(0.01, 1.0 / (ms * sampleRate * 0.001));
}
