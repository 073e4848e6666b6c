#include "dsp/envFollower.h"

#include <limits>

namespace {
const double kUnknownMs = std::numeric_limits<double>::quiet_NaN();
}

envFollower::envFollower()
{
    // Virtual call from the constructor resolves to envFollower::init, which
    // is what is wanted: every field gets a value here.
    init(0, 5.0, 50.0, 0.0, 44100.0);
}

void envFollower::init(int32_t newMode, double attackMs, double releaseMs, double holdMs, double newSampleRate)
{
    mode = newMode;
    sampleRate = newSampleRate;
    // timeCoef reads sampleRate, so it must be stored first.
    attackCoef = timeCoef(attackMs);
    releaseCoef = timeCoef(releaseMs);
    envelope = 0.0;
    holdCount = 0;
    // Note the order differs from setHold (ms / 1000 first here); both truncate.
    holdLength = static_cast<int32_t>(holdMs / 1000.0 * sampleRate);
    lastAttackMs = attackMs;
    lastReleaseMs = releaseMs;
    lastHoldMs = holdMs;
}

double envFollower::process(double x)
{
    detect(x);
    return x;
}

void envFollower::setSampleRate(double rate)
{
    if (rate == sampleRate)
        return;
    sampleRate = rate;
    lastAttackMs = kUnknownMs;
    lastReleaseMs = kUnknownMs;
    lastHoldMs = kUnknownMs;
}

void envFollower::clearState()
{
    envelope = 0.0;
    holdCount = 0;
    // A bad coefficient may be behind the bad state; make the next setters recompute.
    lastAttackMs = kUnknownMs;
    lastReleaseMs = kUnknownMs;
    lastHoldMs = kUnknownMs;
}
