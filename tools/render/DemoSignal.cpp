#include "DemoSignal.h"

#include <cmath>
#include <cstdint>

namespace {
const double kPi = 3.14159265358979323846;

// Deterministic noise, identical on every machine.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
    }

private:
    uint32_t state_;
};

void addKick(AudioClip& clip, double at)
{
    const double rate = clip.sampleRate();
    const long start = static_cast<long>(at * rate);
    const long length = static_cast<long>(0.45 * rate);
    double phase = 0.0;
    for (long i = 0; i < length && start + i < clip.frameCount(); ++i) {
        const double t = i / rate;
        const double freq = 45.0 + 110.0 * std::exp(-t * 30.0);
        phase += 2.0 * kPi * freq / rate;
        const double v = 0.9 * std::exp(-t * 7.0) * std::sin(phase);
        clip.channel(0)[start + i] += v;
        clip.channel(1)[start + i] += v;
    }
}

void addSnare(AudioClip& clip, double at, Noise& noise)
{
    const double rate = clip.sampleRate();
    const long start = static_cast<long>(at * rate);
    const long length = static_cast<long>(0.3 * rate);
    for (long i = 0; i < length && start + i < clip.frameCount(); ++i) {
        const double t = i / rate;
        const double body = 0.3 * std::exp(-t * 30.0) * std::sin(2.0 * kPi * 185.0 * t);
        const double rattle = 0.4 * std::exp(-t * 16.0);
        clip.channel(0)[start + i] += body + rattle * noise.next();
        clip.channel(1)[start + i] += body + rattle * noise.next();
    }
}

void addChord(AudioClip& clip)
{
    // A minor with a slight detune between the sides.
    const double notes[] = {110.0, 220.0, 261.63, 329.63, 440.0};
    const double rate = clip.sampleRate();
    const double total = clip.seconds();
    for (long i = 0; i < clip.frameCount(); ++i) {
        const double t = i / rate;
        const double swell = std::sin(kPi * t / total);
        const double level = 0.015 + 0.55 * swell * swell * swell * swell;
        double left = 0.0;
        double right = 0.0;
        for (double f : notes) {
            left += std::sin(2.0 * kPi * f * 0.999 * t);
            right += std::sin(2.0 * kPi * f * 1.001 * t + 0.3);
        }
        clip.channel(0)[i] += level * left / 5.0;
        clip.channel(1)[i] += level * right / 5.0;
    }
}
}   // namespace

AudioClip DemoSignal::make()
{
    AudioClip clip(2, static_cast<long>(kSeconds * kSampleRate), kSampleRate);
    Noise noise(0x7D1EB011u);
    const double beat = 0.5;   // 120 BPM
    for (int b = 0; b * beat < kSeconds; ++b) {
        if (b % 2 == 0)
            addKick(clip, b * beat);
        else
            addSnare(clip, b * beat, noise);
        if (b % 4 == 3)
            addKick(clip, b * beat + 0.25);
    }
    addChord(clip);

    // Peaks at -1 dBFS.
    double peak = 0.0;
    for (int c = 0; c < 2; ++c)
        for (double s : clip.channel(c))
            peak = std::fmax(peak, std::fabs(s));
    const double gain = peak > 0.0 ? std::pow(10.0, -1.0 / 20.0) / peak : 1.0;
    for (int c = 0; c < 2; ++c)
        for (double& s : clip.channel(c))
            s *= gain;
    return clip;
}
