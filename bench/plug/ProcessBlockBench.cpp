// Cost of the processing chain at 44.1 kHz in 512-sample blocks, called
// straight (ProcessBlock/...) and through the adaptor's process as a host
// calls it (process/..., 64-bit buffers). Reported per stereo sample, as a multiple of real time ("x realtime": how
// many seconds of stereo audio one second of one core processes), as a
// number of saturate calls (the chain needs two per stereo sample) and, for
// every scene, relative to the settled music scene of the same run.
//
// The saturate calls are timed in chunks between the blocks of the same run
// (outside the benchmark's own timing), so the ratio holds on a machine that
// others share: what slows one down slows the other alike.
#include "plug/ProcessBlockBench.h"

#include "common/BenchFigures.h"
#include "common/MusicLike.h"
#include "common/ThreadClock.h"
#include "core/EditorLink.h"
#include "dsp/SaturateBench.h"
#include "dsp/SaturateProbe.h"
#include "plug/Tidepull.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace {

// The median of the saturate benchmark's runs; the interleaved figure when
// that benchmark was filtered out of this run.
double SaturateBenchNanoseconds(const SaturateProbe& interleaved)
{
    double ns = 0.0;
    return BenchFigures::Median(kSaturateBenchKey, ns) ? ns : interleaved.NanosecondsPerCall();
}

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr int kMeasuredBlocks = 2000;   // 23 s of audio per run

enum class Scene {
    kMusic,   // settled parameters, music
    kAutomation,   // threshold, input gain and mix change every block
    kSilence,   // a minute of silence after music: every memory at rest
    kMixZero,   // the mix smoother at its subnormal resting point
    kRelease5,   // release time following the sidechain level every sample
    kDecay,   // the input fades from full scale through the subnormals to zero
    kReleaseTail,   // a short burst, then the detector, meter and filters releasing
};

// Stands in for the meter control in a build without the editor library:
// stores the value and marks itself dirty, as the control does.
class MeterSink : public EditorLink {
public:
    void PushParamToControls(int32_t, double, bool) override {}
    void PrepareSurfaces() override {}
    int32_t ControlCount() const override { return 11; }
    void ReceiveControlValue(int32_t, double normalized) override
    {
        value = normalized;
        dirty = true;
    }

private:
    double value = 0.0;
    bool dirty = false;
};

// Stereo material cycled through block by block.
struct Material {
    std::vector<double> l, r;
    int Blocks() const { return static_cast<int>(l.size() / kBlock); }
};

Material Music(int blocks)
{
    Material m;
    m.l.resize(static_cast<size_t>(blocks) * kBlock);
    m.r.resize(m.l.size());
    MusicLike gen;
    for (size_t i = 0; i < m.l.size(); ++i) {
        m.l[i] = gen.Next();
        m.r[i] = 0.8 * m.l[i] + 0.2 * gen.Next();
    }
    return m;
}

Material Silence(int blocks)
{
    Material m;
    m.l.assign(static_cast<size_t>(blocks) * kBlock, 0.0);
    m.r = m.l;
    return m;
}

// Four seconds of music whose level falls linearly in dB from full scale to
// 1e-330: every range a fading note passes, subnormals and exact zeros included.
Material Decay()
{
    Material m = Music(345);
    const double n = static_cast<double>(m.l.size());
    for (size_t i = 0; i < m.l.size(); ++i) {
        const double gain = std::pow(10.0, -330.0 * static_cast<double>(i) / n);
        m.l[i] *= gain;
        m.r[i] *= gain;
    }
    return m;
}

// Half a second of music, then nine and a half seconds of silence.
Material BurstThenSilence()
{
    Material m = Silence(861);
    const Material burst = Music(43);
    std::copy(burst.l.begin(), burst.l.end(), m.l.begin());
    std::copy(burst.r.begin(), burst.r.end(), m.r.begin());
    return m;
}

// Blocks go either straight into ProcessBlock (the chain alone, in the
// floating-point mode of the caller) or through the adaptor's process, as a
// host sends them: 64-bit buffers, subnormals flushed for the call.
enum class Path { kProcessBlock, kProcess };

class Rig {
public:
    Rig(Scene scene, Path path_) : path(path_)
    {
        plug = new Tidepull();
        if (path == Path::kProcess) {
            plug->initialize(nullptr);   // buses, parameters, preset 0
            Steinberg::Vst::ProcessSetup setup{Steinberg::Vst::kRealtime, Steinberg::Vst::kSample64, kBlock, kRate};
            plug->setupProcessing(setup);
            plug->setActive(true);
        } else {
            plug->SetSampleRate(kRate);
            plug->SetMaxBlockSize(kBlock);
            plug->SelectPreset(0);
        }
        // The meter runs while an editor is attached, as it always is.
        if (!plug->GetEditor()) {
            plug->AttachEditor(new MeterSink());
            plug->SetMeterControlIndex(0);
        }
        Set(Tidepull::kAcThreshold, 24.0);
        Set(Tidepull::kDcThreshold, 4.0);
        if (scene == Scene::kMixZero)
            Set(Tidepull::kMix, 0.0);
        if (scene == Scene::kRelease5)
            Set(Tidepull::kRelease, 5.0);
        zero.assign(kBlock, 0.0);
        outL.assign(kBlock, 0.0);
        outR.assign(kBlock, 0.0);
    }
    ~Rig()
    {
        if (path == Path::kProcess) {
            plug->setActive(false);
            plug->terminate();
        }
        plug->release();
    }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    void Set(int32_t idx, double plain)
    {
        std::lock_guard<std::recursive_mutex> lock(plug->Mutex());
        plug->ParamAt(idx)->SetValue(plain);
        plug->ParamChanged(idx);
    }
    void SetNormalized(int32_t idx, double v)
    {
        std::lock_guard<std::recursive_mutex> lock(plug->Mutex());
        plug->ParamAt(idx)->SetFromNormalized(v);
        plug->ParamChanged(idx);
    }

    void Process(const Material& m, int block)
    {
        const size_t at = static_cast<size_t>(block % m.Blocks()) * kBlock;
        double* in[4] = {const_cast<double*>(m.l.data() + at), const_cast<double*>(m.r.data() + at), zero.data(),
                         zero.data()};
        double* out[2] = {outL.data(), outR.data()};
        if (path == Path::kProcess) {
            Steinberg::Vst::AudioBusBuffers inBuses[2] = {};
            inBuses[0].numChannels = 2;
            inBuses[0].channelBuffers64 = in;
            inBuses[1].numChannels = 2;
            inBuses[1].channelBuffers64 = in + 2;
            Steinberg::Vst::AudioBusBuffers outBus = {};
            outBus.numChannels = 2;
            outBus.channelBuffers64 = out;
            Steinberg::Vst::ProcessData data;
            data.processMode = Steinberg::Vst::kRealtime;
            data.symbolicSampleSize = Steinberg::Vst::kSample64;
            data.numSamples = kBlock;
            data.numInputs = 2;
            data.numOutputs = 1;
            data.inputs = inBuses;
            data.outputs = &outBus;
            plug->process(data);
        } else {
            std::lock_guard<std::recursive_mutex> lock(plug->Mutex());
            plug->ProcessBlock(in, out, kBlock);
        }
        benchmark::DoNotOptimize(outL.data());
        benchmark::DoNotOptimize(outR.data());
        benchmark::ClobberMemory();
    }

    void Run(const Material& m, int blocks)
    {
        for (int b = 0; b < blocks; ++b)
            Process(m, b);
    }

private:
    Path path;
    Tidepull* plug;
    std::vector<double> zero, outL, outR;
};

void RunScene(benchmark::State& st, Scene scene, Path path)
{
    Rig rig(scene, path);
    const Material music = Music(64);
    // Smoothers and detector settle on music first.
    rig.Run(music, 200);

    Material measured;
    switch (scene) {
    case Scene::kSilence:
        measured = Silence(64);
        rig.Run(measured, 5168);   // 60 s: the envelope and the meter are subnormal by now
        break;
    case Scene::kDecay: measured = Decay(); break;
    case Scene::kReleaseTail: measured = BurstThenSilence(); break;
    default: measured = music; break;
    }

    SaturateProbe unit;
    int block = 0;
    double sweep = 0.0;
    double seconds = 0.0;
    for (auto _ : st) {
        const double start = ThreadClock::Seconds();
        if (scene == Scene::kAutomation) {
            sweep = sweep >= 1.0 ? 0.0 : sweep + 0.01;
            rig.SetNormalized(Tidepull::kAcThreshold, sweep);
            rig.SetNormalized(Tidepull::kInputAtten, 1.0 - sweep);
            rig.SetNormalized(Tidepull::kMix, 0.5 + 0.5 * sweep);
        }
        rig.Process(measured, block++);
        seconds += ThreadClock::Seconds() - start;
        st.PauseTiming();
        unit.Run(2 * kBlock);
        st.ResumeTiming();
    }

    const double samples = static_cast<double>(st.iterations()) * kBlock;
    const double ns = seconds * 1e9 / samples;
    const double inSaturateCalls = ns / unit.NanosecondsPerCall();
    st.counters["ns_per_stereo_sample"] = ns;
    st.counters["x_realtime"] = (samples / kRate) / seconds;
    // Counted in saturate calls timed between the blocks of this run; the
    // second figure counts in the saturate benchmark's own median instead,
    // which load on the machine can move between the two benchmarks.
    st.counters["saturate_calls_per_stereo_sample"] = inSaturateCalls;
    st.counters["vs_saturate_benchmark"] = ns / SaturateBenchNanoseconds(unit);
    const std::string musicKey = path == Path::kProcess ? "process/music" : "ProcessBlock/music";
    if (scene == Scene::kMusic)
        BenchFigures::Record(musicKey, inSaturateCalls);
    double musicInSaturateCalls = 0.0;
    if (BenchFigures::Median(musicKey, musicInSaturateCalls))
        st.counters["vs_music_settled"] = inSaturateCalls / musicInSaturateCalls;
}

}   // namespace

void RegisterProcessBlockBenchmarks()
{
    const struct {
        const char* name;
        Scene scene;
    } scenes[] = {
        {"music_settled", Scene::kMusic},      {"automation_every_block", Scene::kAutomation},
        {"silence", Scene::kSilence},          {"mix_zero", Scene::kMixZero},
        {"release_5", Scene::kRelease5},       {"decaying_to_silence", Scene::kDecay},
        {"release_tail", Scene::kReleaseTail},
    };
    for (Path path : {Path::kProcessBlock, Path::kProcess}) {
        for (const auto& s : scenes) {
            // Through process: the scenes where subnormals would arise, with
            // settled music as their yardstick.
            if (path == Path::kProcess && (s.scene == Scene::kAutomation || s.scene == Scene::kRelease5))
                continue;
            const std::string name = std::string(path == Path::kProcess ? "process/" : "ProcessBlock/") + s.name;
            const Scene scene = s.scene;
            benchmark::RegisterBenchmark(name.c_str(),
                                         [scene, path](benchmark::State& st) { RunScene(st, scene, path); })
                ->Iterations(kMeasuredBlocks)
                ->Unit(benchmark::kMicrosecond);
        }
    }
}
