#pragma once

#include "core/EditorLink.h"
#include "plug/Tidepull.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// The plug is reference counted by the host interfaces; tests hold it the same way.
struct PlugRelease {
    void operator()(Tidepull* p) const
    {
        if (p)
            p->release();
    }
};
using PlugPtr = std::unique_ptr<Tidepull, PlugRelease>;

// Set up as a host would: rate and block size, then preset 0.
inline PlugPtr MakeHostedPlug(double rate = 44100.0, int32_t maxBlock = 512)
{
    PlugPtr plug(new Tidepull());
    plug->SetSampleRate(rate);
    plug->SetMaxBlockSize(maxBlock);
    plug->SelectPreset(0);
    return plug;
}

// A host parameter change: plain value, then ParamChanged, under the mutex.
inline void SetParam(Tidepull& plug, int32_t idx, double plain)
{
    std::lock_guard<std::recursive_mutex> lock(plug.Mutex());
    plug.ParamAt(idx)->SetValue(plain);
    plug.ParamChanged(idx);
}

struct Signal {
    std::vector<double> l, r, scL, scR;

    explicit Signal(size_t n = 0) : l(n, 0.0), r(n, 0.0), scL(n, 0.0), scR(n, 0.0) {}
    size_t size() const { return l.size(); }
};

struct Output {
    std::vector<double> l, r;
};

// Runs a whole signal through process(in, out, n) in blocks; every block gets
// its own copy of the input, as host buffers would be.
inline Output RunBlocks(const Signal& in, int32_t blockSize,
                        const std::function<void(double**, double**, int32_t)>& process)
{
    Output out;
    out.l.assign(in.size(), 0.0);
    out.r.assign(in.size(), 0.0);
    std::vector<double> bl(static_cast<size_t>(blockSize)), br(bl), bsl(bl), bsr(bl), ol(bl), orr(bl);
    for (size_t pos = 0; pos < in.size(); pos += static_cast<size_t>(blockSize)) {
        const size_t n = std::min(static_cast<size_t>(blockSize), in.size() - pos);
        for (size_t s = 0; s < n; ++s) {
            bl[s] = in.l[pos + s];
            br[s] = in.r[pos + s];
            bsl[s] = in.scL[pos + s];
            bsr[s] = in.scR[pos + s];
        }
        double* ins[4] = {bl.data(), br.data(), bsl.data(), bsr.data()};
        double* outs[2] = {ol.data(), orr.data()};
        process(ins, outs, static_cast<int32_t>(n));
        for (size_t s = 0; s < n; ++s) {
            out.l[pos + s] = ol[s];
            out.r[pos + s] = orr[s];
        }
    }
    return out;
}

inline Output Process(Tidepull& plug, const Signal& in, int32_t blockSize = 512)
{
    return RunBlocks(in, blockSize, [&](double** i, double** o, int32_t n) {
        std::lock_guard<std::recursive_mutex> lock(plug.Mutex());
        plug.ProcessBlock(i, o, n);
    });
}

inline Signal Sine(size_t n, double freq, double amp, double rate = 44100.0)
{
    Signal s(n);
    for (size_t i = 0; i < n; ++i) {
        const double v = amp * std::sin(2.0 * 3.141592653589793 * freq * static_cast<double>(i) / rate);
        s.l[i] = v;
        s.r[i] = v;
    }
    return s;
}

// Deterministic music-like material: two detuned tones under a slowly
// swelling noise, different on each channel and on the sidechain.
inline Signal Program(size_t n, double rate = 44100.0, uint32_t seed = 12345)
{
    Signal s(n);
    uint32_t x = seed;
    auto noise = [&x] {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return static_cast<double>(x) / 4294967296.0 * 2.0 - 1.0;
    };
    const double pi = 3.141592653589793;
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double swell = 0.5 + 0.5 * std::sin(2.0 * pi * 1.3 * t);
        s.l[i] = 0.4 * std::sin(2.0 * pi * 220.0 * t) + 0.3 * swell * noise();
        s.r[i] = 0.35 * std::sin(2.0 * pi * 331.0 * t) + 0.3 * swell * noise();
        s.scL[i] = 0.8 * swell * noise();
        s.scR[i] = 0.2 * std::sin(2.0 * pi * 97.0 * t);
    }
    return s;
}

inline double Rms(const std::vector<double>& v, size_t from, size_t to)
{
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        sum += v[i] * v[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

// Stands in for the editor: counts what the meter push delivers. Never
// allocates, so it can stay attached while allocations are counted.
// How far the plug's chain may stray from the exact model: its saturation
// curve, band-pass and gain step are faster approximations of the exact ones.
// Absolute, on full-scale audio.
constexpr double kChainTolerance = 1e-9;

// The same bits (NaN matches NaN), or within the tolerance.
inline bool WithinChainTolerance(double plugValue, double modelValue)
{
    if (std::isnan(plugValue) || std::isnan(modelValue))
        return std::isnan(plugValue) && std::isnan(modelValue);
    return plugValue == modelValue || std::fabs(plugValue - modelValue) <= kChainTolerance;
}

struct MeterLog {
    int64_t calls = 0;
    int32_t lastControl = -1;
    double lastValue = 0.0;
    bool keepValues = false;   // off where a test counts allocations
    std::vector<double> values;
};

class MeterProbe : public EditorLink {
public:
    MeterProbe(MeterLog& log_, int32_t controls_) : log(log_), controls(controls_) {}
    void PushParamToControls(int32_t, double, bool) override {}
    void PrepareSurfaces() override {}
    int32_t ControlCount() const override { return controls; }
    void ReceiveControlValue(int32_t controlIdx, double normalized) override
    {
        ++log.calls;
        log.lastControl = controlIdx;
        log.lastValue = normalized;
        if (log.keepValues)
            log.values.push_back(normalized);
    }

private:
    MeterLog& log;
    int32_t controls;
};
