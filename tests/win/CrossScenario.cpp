#include "CrossScenario.h"

using namespace Steinberg::Vst;

namespace {

// Parameter IDs (indices of the plug's parameters) and the host bypass.
enum : ParamID {
    kInputAtten = 0,
    kOutput = 1,
    kAcThreshold = 2,
    kDcThreshold = 3,
    kRelease = 4,
    kHpf = 5,
    kMix = 6,
    kBypass = 7,
    kExternalSidechain = 8,
    kHostBypass = 0x62706173,
};

// A sine by rotating a phasor: multiplications and additions only, so every
// IEEE-conforming build computes the same samples. The step is a literal.
class Phasor {
public:
    Phasor(double cosStep, double sinStep, double phaseCos, double phaseSin)
        : c(cosStep),
          s(sinStep),
          x(phaseCos),
          y(phaseSin)
    {
    }
    double Next()
    {
        const double nx = x * c - y * s;
        const double ny = x * s + y * c;
        x = nx;
        y = ny;
        return y;
    }

private:
    double c, s, x, y;
};

class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed) {}
    double Next()
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
    }

private:
    uint32_t state;
};

// Triangle from 0 to 1 and back over `period` frames.
double Triangle(int64_t i, int64_t period)
{
    const int64_t p = i % period;
    const int64_t half = period / 2;
    const int64_t up = p < half ? p : period - p;
    return static_cast<double>(up) / static_cast<double>(half);
}

}   // namespace

std::vector<double> CrossScenario::MainInput()
{
    // 110 Hz and 1234 Hz on the left, 165 Hz (half a radian ahead) and 2345 Hz
    // on the right.
    Phasor l1(0.9998771913257585, 0.01567170273176101, 1.0, 0.0);
    Phasor l2(0.9845842773819314, 0.17491083652049683, 1.0, 0.0);
    Phasor r1(0.9997236875527314, 0.023506351183641343, 0.8775825618903728, 0.479425538604203);
    Phasor r2(0.9447038894141705, 0.3279246275072044, 1.0, 0.0);
    Noise noise(12345u);
    std::vector<double> out(static_cast<size_t>(kFrames) * 2);
    for (int64_t i = 0; i < kFrames; ++i) {
        // Swells four times a second, so the detector attacks and releases;
        // the peak rises from about -14 dB to a little over full scale.
        const double envelope = 0.2 + 0.8 * Triangle(i, 11025);
        const double level = 0.2 + 0.95 * static_cast<double>(i) / static_cast<double>(kFrames);
        const double n = noise.Next() * 0.05;
        const double l = l1.Next() * 0.6 + l2.Next() * 0.3 + n;
        const double r = r1.Next() * 0.6 + r2.Next() * 0.3 - n;
        out[static_cast<size_t>(2 * i)] = level * envelope * l;
        out[static_cast<size_t>(2 * i + 1)] = level * envelope * r;
    }
    return out;
}

std::vector<double> CrossScenario::SidechainInput()
{
    // 55 Hz in decaying bursts of a quarter of a second, once a second.
    Phasor kick(0.9999692973601135, 0.007836091954589902, 1.0, 0.0);
    std::vector<double> out(static_cast<size_t>(kFrames) * 2);
    for (int64_t i = 0; i < kFrames; ++i) {
        const int64_t p = i % 44100;
        const double gate = p < 11025 ? 1.0 - static_cast<double>(p) / 11025.0 : 0.0;
        const double v = kick.Next() * 0.9 * gate;
        out[static_cast<size_t>(2 * i)] = v;
        out[static_cast<size_t>(2 * i + 1)] = -0.5 * v;
    }
    return out;
}

const std::vector<ScenarioStep>& CrossScenario::Steps()
{
    // Normalised values; the ranges are those of the plug's parameters.
    static const std::vector<ScenarioStep> steps = {
        {0,
         {{kAcThreshold, 0.6},   // 30
          {kDcThreshold, 3.0 / 9.0},   // ratio 4
          {kInputAtten, 24.0 / 36.0},   // +6 dB
          {kRelease, 0.0}}},
        {44100,
         {{kRelease, 0.8},   // level-dependent position 4
          {kMix, 0.6},   // 60 %
          {kHpf, 130.0 / 480.0},   // 150
          {kOutput, 15.0 / 36.0}}},   // -3 dB
        {88200,
         {{kExternalSidechain, 1.0},
          {kRelease, 1.0},   // position 5
          {kAcThreshold, 0.9},   // 45
          {kDcThreshold, 1.0},   // 10
          {kInputAtten, 1.0}}},   // +18 dB: deep into the saturation
        {132300,
         {{kBypass, 0.0},   // the plug's own pass-through
          {kExternalSidechain, 0.0},
          {kInputAtten, 18.0 / 36.0}}},
        {143325,
         {{kBypass, 1.0},
          {kRelease, 0.4},   // position 2
          {kMix, 1.0},
          {kHpf, 1.0}}},   // 500
        {154350, {{kHostBypass, 1.0}}},
        {165375, {{kHostBypass, 0.0}, {kRelease, 0.6}, {kOutput, 1.0}}},
    };
    return steps;
}

const std::vector<ParamSetting>& CrossScenario::StateSettings()
{
    static const std::vector<ParamSetting> settings = {
        {kInputAtten, 12.0 / 36.0},   // -6
        {kOutput, 21.0 / 36.0},   // +3
        {kAcThreshold, 0.25},   // 12.5
        {kDcThreshold, 5.0 / 9.0},   // 6
        {kRelease, 0.6},   // 3
        {kHpf, 0.5},   // 260
        {kMix, 0.75},   // 75
        {kBypass, 0.0},
        {kExternalSidechain, 1.0},
        {kHostBypass, 0.0},
    };
    return settings;
}

const std::vector<double>& CrossScenario::StatePlainValues()
{
    static const std::vector<double> values = {-6.0, 3.0, 12.5, 6.0, 3.0, 260.0, 75.0, 0.0, 1.0};
    return values;
}
