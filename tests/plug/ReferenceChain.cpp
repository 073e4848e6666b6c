#include "ReferenceChain.h"

#include "dsp/portableMath.h"
#include "dsp/saturate.h"

#include <cmath>

void ReferenceChain::process(const double* const* inputs, double* const* outputs, int32_t nFrames)
{
    const double inputGain = portableMath::pow(10.0, params.inputAtten / 20.0);
    const double outputGain = portableMath::pow(10.0, params.output / 20.0);
    const double acThreshold = params.acThreshold;
    const double dcThreshold = params.dcThreshold;
    const double mix = params.mix / 100.0;

    stageL.setRate(2.0 * rate);
    stageR.setRate(2.0 * rate);
    sidechainFilter.setHighPass((params.hpf + 25.0) / rate, 0.707);
    detector.setSampleRate(rate);
    const double makeupGain = portableMath::pow(10.0, 0.25);
    if (nFrames <= 0)
        return;

    if (recoverNonFinite) {
        if (!stageL.stateIsFinite())
            stageL.clearState();
        if (!stageR.stateIsFinite())
            stageR.clearState();
        if (!sidechainFilter.stateIsFinite())
            sidechainFilter.clearState();
        if (!detector.stateIsFinite())
            detector.clearState();
        for (paramSmoother* s : {&inputGainSmoother, &dcSmoother, &acSmoother, &outputGainSmoother, &mixSmoother}) {
            if (!s->stateIsFinite())
                s->clearState();
        }
        if (!std::isfinite(meter))
            meter = 0.0;
    }

    const bool engaged = params.bypass != 0;
    if (!ran) {
        fadeLength = 0;
        engagedShown = engaged;
    } else if (engaged != engagedShown) {
        if (fadeLength == 0) {
            fadeLength = static_cast<int32_t>(std::floor(rate * 0.005 + 0.5));
            fadePosition = engaged ? 0 : fadeLength;
        }
        engagedShown = engaged;
    }
    ran = true;

    for (int32_t i = 0; i < nFrames; ++i) {
        const double Lin = inputs[0][i];
        const double Rin = inputs[1][i];

        // 1, 2: saturation stages.
        const float t1 = inputGainSmoother.tick(inputGain);
        double s = t1 * Lin;
        const float t2 = inputGainSmoother.tick(inputGain);
        const double satL = stageL.tick(saturate(s)) / t2 * makeupGain;
        const float t3 = inputGainSmoother.tick(inputGain);
        s = t3 * Rin;
        const float t4 = inputGainSmoother.tick(inputGain);
        const double satR = stageR.tick(saturate(s)) / t4 * makeupGain;

        // 3: extra clocks.
        const float t5 = inputGainSmoother.tick(inputGain);
        stageL.tick(saturate(t5 * Lin));
        const float t6 = inputGainSmoother.tick(inputGain);
        stageR.tick(saturate(t6 * Rin));
        const float t7 = inputGainSmoother.tick(inputGain);
        stageL.tick(saturate(t7 * Lin));
        const float t8 = inputGainSmoother.tick(inputGain);
        stageR.tick(saturate(t8 * Rin));

        // 4: sidechain.
        double v = 0.0;
        if (params.externalSidechain == 0)
            v = Rin + Lin;
        else if (params.externalSidechain == 1)
            v = inputs[2][i] + inputs[3][i];
        const float vSingle = static_cast<float>(v);
        const double hp = sidechainFilter.tick(vSingle);
        const float t9 = inputGainSmoother.tick(inputGain);
        const float levelSingle = static_cast<float>(hp) * t9;
        const double scLevel = levelSingle;

        // 5, 6: detector and gain.
        detector.detect(scLevel);
        G = detector.computeGain();

        // 7, 8: release position.
        const double L = std::fabs(scLevel);
        const double release4 = 3000.0 * L + 7000.0;
        const double release5 = 15000.0 * L + 10000.0;
        double releaseMs = 300.0;
        double kneeTarget = 1.0;
        switch (params.release) {
        case 0:
            releaseMs = 300.0;
            kneeTarget = 1.0;
            break;
        case 1:
            releaseMs = 800.0;
            kneeTarget = 0.8;
            break;
        case 2:
            releaseMs = 2000.0;
            kneeTarget = 0.6;
            break;
        case 3:
            releaseMs = 5000.0;
            kneeTarget = 0.5;
            break;
        case 4:
            releaseMs = release4;
            kneeTarget = 0.6;
            break;
        case 5:
            releaseMs = release5;
            kneeTarget = 0.4;
            break;
        default: break;
        }

        // 9: detector times, counted at the host rate.
        detector.setAttack(0.8);
        detector.setRelease(releaseMs);
        detector.setHold(3.0);

        // 10: ratio.
        const float yRatio = dcSmoother.tick(dcThreshold);
        if (detector.getRatio() != static_cast<double>(yRatio)) {
            const float y2 = dcSmoother.tick(dcThreshold);
            detector.setRatio(y2);
        }
        // 11: threshold.
        const float yThreshold = acSmoother.tick(acThreshold);
        if (detector.getThreshold() != static_cast<double>(-yThreshold)) {
            const float y2 = acSmoother.tick(acThreshold);
            detector.setThreshold(-y2);
        }
        // 12: knee.
        if (detector.getKnee() != kneeTarget)
            detector.setKnee(kneeTarget);

        // 13: wet signal.
        const double gl = portableMath::exp(G * 0.1151292546497);
        const float o1 = outputGainSmoother.tick(outputGain);
        const double wetLeft = gl * satL * o1;
        const float o2 = outputGainSmoother.tick(outputGain);
        const double wetRight = gl * satR * o2;
        if (recordWet)
            wetL.push_back(wetLeft);

        // 14: mix with the untouched input.
        const float m1 = mixSmoother.tick(mix);
        const float m2 = mixSmoother.tick(mix);
        const double outL = (1.0 - static_cast<double>(m1)) * Lin + static_cast<double>(m2) * wetLeft;
        const float m3 = mixSmoother.tick(mix);
        const float m4 = mixSmoother.tick(mix);
        const double outR = (1.0 - static_cast<double>(m3)) * Rin + static_cast<double>(m4) * wetRight;

        // 15, 16: meter value and output by Bypass, through the fade.
        meterVal = params.bypass == 0 ? 0.0 : 1.0 - portableMath::exp(G * 0.1151292546497);
        if (fadeLength > 0) {
            fadePosition += engaged ? 1 : -1;
            const double p = static_cast<double>(fadePosition) / fadeLength;
            const double wet = (3.0 - 2.0 * p) * p * p;
            outputs[0][i] = wet * outL + (1.0 - wet) * Lin;
            outputs[1][i] = wet * outR + (1.0 - wet) * Rin;
            if (fadePosition == (engaged ? fadeLength : 0))
                fadeLength = 0;
        } else if (params.bypass == 0) {
            outputs[0][i] = Lin;
            outputs[1][i] = Rin;
        } else {
            outputs[0][i] = outL;
            outputs[1][i] = outR;
        }

        // 17: ballistics.
        if (editorAttached) {
            const double k = portableMath::exp(-4.60517018599 / (rate * 0.3));
            const double m = std::fabs(meterVal);
            const double target = m > meter ? m * 1.0125 : m * 0.9875;
            meter = (meter - target) * k + target;
        }
    }
}
