#pragma once

#include "dsp/compressor.h"

// The static curve of a gain computer: the gain a steady detector level gets,
// and the output level that makes. Every value comes from computeGain of a
// copy of the given detector, so the curve is the engine's own.
class TransferCurve {
public:
    explicit TransferCurve(const compressor& detector);

    // Levels at the detector in dB (0 dB: a linear envelope of 1).
    double gainDb(double levelDb) const;
    double outputDb(double levelDb) const { return levelDb + gainDb(levelDb); }

    double thresholdDb() const { return probe_.getThreshold(); }
    double ratio() const { return probe_.getRatio(); }
    bool hasKnee() const { return probe_.getKneeWidth() > 0.0; }
    double kneeLowDb() const { return probe_.getKneeLow(); }
    double kneeHighDb() const { return probe_.getKneeHigh(); }

private:
    // The detector with its envelope set directly, for a steady level.
    class Probe : public compressor {
    public:
        explicit Probe(const compressor& detector) : compressor(detector) {}
        void holdEnvelope(double linear) { envelope = linear; }
    };

    mutable Probe probe_;
};
