// Pushes a built-in test signal through a Tidepull object and prints the
// levels going in and out and the gain reduction the detector settles at.
#include "plug/Tidepull.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

double Db(double linear)
{
    return linear > 0.0 ? 20.0 * std::log10(linear) : -INFINITY;
}

struct Levels {
    double peak = 0.0;
    double sumSquares = 0.0;
    long count = 0;
    void Add(double x)
    {
        peak = std::fmax(peak, std::fabs(x));
        sumSquares += x * x;
        ++count;
    }
    double Rms() const { return count ? std::sqrt(sumSquares / static_cast<double>(count)) : 0.0; }
};

}   // namespace

int main()
{
    const double rate = 44100.0;
    const int block = 512;
    const int seconds = 4;
    const double pi = 3.141592653589793;

    Tidepull plug;
    plug.SetSampleRate(rate);
    plug.SetMaxBlockSize(block);
    plug.SelectPreset(0);
    plug.ParamAt(Tidepull::kAcThreshold)->SetValue(20.0);
    plug.ParamAt(Tidepull::kDcThreshold)->SetValue(4.0);
    plug.ParamChanged(Tidepull::kAcThreshold);
    plug.ParamChanged(Tidepull::kDcThreshold);

    std::vector<double> inL(block), inR(block), outL(block), outR(block), silent(block, 0.0);
    double* inputs[4] = {inL.data(), inR.data(), silent.data(), silent.data()};
    double* outputs[2] = {outL.data(), outR.data()};

    // One second of silence first, as a DAW runs its plug-ins before
    // playback: the smoothers start at 0 and reach the settings here.
    for (long left = static_cast<long>(rate); left > 0; left -= block) {
        const int n = left < block ? static_cast<int>(left) : block;
        double* quiet[4] = {silent.data(), silent.data(), silent.data(), silent.data()};
        plug.ProcessBlock(quiet, outputs, n);
    }

    std::printf("Tidepull demo: AC Threshold 20, DC Threshold 4, Release 0, %d s at %.0f Hz\n", seconds, rate);
    std::printf("%-10s %12s %12s %12s %10s\n", "segment", "in RMS dB", "out RMS dB", "change dB", "GR dB");

    // One second each of a quiet tone, a loud tone, a loud drum-like burst
    // train and the quiet tone again, so the detector has something to do.
    const char* names[] = {"quiet", "loud", "bursts", "quiet"};
    long n = 0;
    for (int segment = 0; segment < seconds; ++segment) {
        Levels in, out;
        for (int b = 0; b < static_cast<int>(rate) / block; ++b) {
            for (int i = 0; i < block; ++i, ++n) {
                const double t = static_cast<double>(n) / rate;
                double x = std::sin(2.0 * pi * 220.0 * t);
                if (segment == 0 || segment == 3)
                    x *= 0.05;
                else if (segment == 1)
                    x *= 0.5;
                else
                    x *= 0.8 * std::exp(-std::fmod(t, 0.25) * 30.0);
                inL[i] = x;
                inR[i] = 0.9 * x;
            }
            plug.ProcessBlock(inputs, outputs, block);
            for (int i = 0; i < block; ++i) {
                in.Add(inL[i]);
                in.Add(inR[i]);
                out.Add(outL[i]);
                out.Add(outR[i]);
            }
        }
        std::printf("%-10s %12.2f %12.2f %12.2f %10.2f\n", names[segment], Db(in.Rms()), Db(out.Rms()),
                    Db(out.Rms()) - Db(in.Rms()), plug.GainDb());
    }
    return 0;
}
