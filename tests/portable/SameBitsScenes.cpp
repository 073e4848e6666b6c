#include "SameBitsScenes.h"

#include "EditorPixels.h"
#include "FixedParameterChanges.h"
#include "HostBlock.h"
#include "PlugHarness.h"

#include "FactoryPresets.h"
#include "SameBitsHost.h"

#include "gui/DisplayScale.h"
#include "gui/Editor.h"
#include "pix/PIX_SysBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kBlock = 512;
// Long enough for the glides from the defaults to come to rest: the chain
// runs its moving and its settled paths.
constexpr double kPresetSeconds = 1.5;

template <typename Word>
void Append(SameBitsScene& scene, const std::vector<Word>& words)
{
    scene.wordSize = sizeof(Word);
    const size_t at = scene.bytes.size();
    scene.bytes.resize(at + words.size() * sizeof(Word));
    std::memcpy(scene.bytes.data() + at, words.data(), words.size() * sizeof(Word));
}

// The editor as it stands, drawn whole at 1x and at 2x.
void DrawEditor(Tidepull& plug, const std::string& after, std::vector<SameBitsScene>& scenes)
{
    auto* editor = dynamic_cast<Editor*>(plug.GetEditor());
    if (!editor)
        return;
    for (const double factor : {1.0, 2.0}) {
        editor->SetDisplayScale(DisplayScale::FromFactor(factor));
        editor->Render(Bounds(0, 0, editor->Width(), editor->Height()));
        const PIX_SysBitmap* surface = editor->DrawingSurface();
        SameBitsScene scene;
        scene.name = "editor at " + std::to_string(static_cast<int>(factor)) + "x after " + after;
        Append(scene, EditorPixels::Shown(*editor, Bounds(0, 0, surface->Width(), surface->Height())));
        scenes.push_back(std::move(scene));
    }
}

// A factory preset through tidepull-render's host pieces, the plug made in
// this process; the editor drawn after the 32-bit render at 44.1 kHz.
bool RenderPreset(const FactoryPresets::Preset& preset, double rate, int precision, std::vector<SameBitsScene>& scenes,
                  std::string& error)
{
    std::vector<std::pair<std::string, std::string>> sets;
    for (size_t i = 0; i < preset.values.size(); ++i) {
        char value[32];
        std::snprintf(value, sizeof value, "%.17g", preset.values[i]);
        sets.emplace_back(FactoryPresets::parameterTitles()[i], value);
    }
    const Signal sig = Program(static_cast<size_t>(rate * kPresetSeconds), rate, 7);
    Tidepull* plug = new Tidepull();
    IComponent* component = nullptr;
    plug->queryInterface(IComponent::iid, reinterpret_cast<void**>(&component));
    plug->release();

    const std::string name = std::string(preset.name) + " at " + std::to_string(static_cast<int>(rate)) + " Hz, " +
        std::to_string(precision) + "-bit";
    SameBitsScene scene;
    scene.name = "preset " + name;
    std::vector<double> outL, outR;
    std::vector<SameBitsScene> pictures;
    const bool draw = rate == 44100.0 && precision == 32;
    if (!RenderThroughHost(
            component, sets, rate, precision, {&sig.l, &sig.r, &sig.scL, &sig.scR}, outL, outR,
            [&] {
        if (draw)
            DrawEditor(*plug, name, pictures);
            },
            error))
        return false;
    Append(scene, outL);
    Append(scene, outR);
    scenes.push_back(std::move(scene));
    scenes.insert(scenes.end(), pictures.begin(), pictures.end());
    return true;
}

// A session as a host automates it, through the adaptor's process: ramps
// inside blocks, blocks of odd and empty and over-long sizes, host bypass on
// and off, the external sidechain switched in and out, a stretch holding NaN
// and infinity, one channel silent, then a fade through the subnormals into
// silence, where the flush-to-zero mode decides the bits.
void RunAutomation(bool is64, std::vector<SameBitsScene>& scenes)
{
    constexpr double kRate = 48000.0;
    constexpr int32_t kBlocks = 140;
    constexpr int32_t kFadeBlock = 90;
    PlugPtr plug(new Tidepull());
    plug->initialize(nullptr);
    plug->activateBus(kAudio, kInput, 0, true);
    plug->activateBus(kAudio, kOutput, 0, true);
    ProcessSetup setup{kRealtime, is64 ? kSample64 : kSample32, kBlock, kRate};
    plug->setupProcessing(setup);
    plug->setActive(true);

    Signal sig = Program(static_cast<size_t>(kBlock) * (kBlocks + 2), kRate, 11);
    const size_t fadeFrom = static_cast<size_t>(kBlock) * kFadeBlock;
    const size_t silenceFrom = static_cast<size_t>(kBlock) * (kFadeBlock + 20);
    for (size_t i = fadeFrom; i < sig.size(); ++i) {
        // Full scale down to 1e-330 in dB steps, then zeros.
        const double t = static_cast<double>(i - fadeFrom) / static_cast<double>(silenceFrom - fadeFrom);
        const double g = i < silenceFrom ? std::pow(10.0, -330.0 * t) : 0.0;
        sig.l[i] *= g;
        sig.r[i] *= g;
    }
    // The right channel silent while the left plays: one filter of the pair
    // held, the other not.
    std::fill(sig.r.begin() + kBlock * 70, sig.r.begin() + kBlock * 80, 0.0);
    sig.l[kBlock * 60 + 17] = std::numeric_limits<double>::quiet_NaN();
    sig.r[kBlock * 61 + 300] = std::numeric_limits<double>::infinity();

    HostBlock block(kBlock * 3);
    FixedParameterChanges changes;
    std::vector<double> outL, outR;
    size_t pos = 0;
    for (int32_t b = 0; b < kBlocks; ++b) {
        const int32_t frames = b == 10 ? 0 : (b == 11 ? 77 : (b == 12 ? kBlock * 2 + 5 : kBlock));
        changes.Clear();
        // Every plug parameter in turn, ramped within the block, up to the
        // fade; MIX 0 then, so that the dry signal, subnormal at the end of
        // the fade, and the mix smoother resting near 0 reach the output.
        for (int32_t k = 0; k <= b % 3 && b < kFadeBlock - 2; ++k) {
            const int32_t idx = (b + 4 * k) % Tidepull::kNumParams;
            if (idx == Tidepull::kBypass || idx == Tidepull::kExternalSidechain)
                continue;
            const double from = static_cast<double>((b * 7 + k) % 11) / 10.0;
            vsthost::ParamValueQueue& q = changes.Add(static_cast<ParamID>(idx), from);
            if (frames > 2) {
                q.append(frames / 3, 1.0 - from);
                q.append(frames - 1, 0.5 * from + 0.25);
            }
        }
        if (b == kFadeBlock - 2)
            changes.Add(Tidepull::kMix, 0.0);
        if (b == 20 || b == 26)
            changes.Add(Tidepull::kBypassParamId, b == 20 ? 1.0 : 0.0);
        if (b == 30 || b == 50) {
            plug->activateBus(kAudio, kInput, 1, b == 30);
            changes.Add(Tidepull::kExternalSidechain, b == 30 ? 1.0 : 0.0);
        }
        block.Load(sig, pos, frames);
        plug->process(block.Data(is64, frames, b >= 30 && b < 50, &changes));
        for (int32_t i = 0; i < frames; ++i) {
            outL.push_back(block.Out(0, i));
            outR.push_back(block.Out(1, i));
        }
        pos += static_cast<size_t>(frames);
    }
    const std::string name = std::string("automation, ") + (is64 ? "64" : "32") + "-bit";
    SameBitsScene scene;
    scene.name = name;
    Append(scene, outL);
    Append(scene, outR);
    scenes.push_back(std::move(scene));
    DrawEditor(*plug, name, scenes);
    plug->setActive(false);
    plug->terminate();
}

}   // namespace

std::vector<SameBitsScene> MakeSameBitsScenes(std::string& error)
{
    std::vector<SameBitsScene> scenes;
    for (const FactoryPresets::Preset& preset : FactoryPresets::all())
        for (const double rate : {44100.0, 96000.0})
            for (const int precision : {32, 64})
                if (!RenderPreset(preset, rate, precision, scenes, error)) {
                    error = std::string(preset.name) + ": " + error;
                    return {};
                }
    RunAutomation(false, scenes);
    RunAutomation(true, scenes);
    return scenes;
}

bool WriteSameBitsScenes(const std::string& path, const std::vector<SameBitsScene>& scenes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const SameBitsScene& s : scenes) {
        const uint64_t header[3] = {s.name.size(), s.wordSize, s.bytes.size()};
        out.write(reinterpret_cast<const char*>(header), sizeof header);
        out.write(s.name.data(), static_cast<std::streamsize>(s.name.size()));
        out.write(reinterpret_cast<const char*>(s.bytes.data()), static_cast<std::streamsize>(s.bytes.size()));
    }
    return static_cast<bool>(out.flush());
}

bool ReadSameBitsScenes(const std::string& path, std::vector<SameBitsScene>& scenes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    uint64_t header[3];
    while (in.read(reinterpret_cast<char*>(header), sizeof header)) {
        SameBitsScene s;
        s.name.resize(header[0]);
        s.wordSize = header[1];
        s.bytes.resize(header[2]);
        if (!in.read(&s.name[0], static_cast<std::streamsize>(header[0])) ||
            !in.read(reinterpret_cast<char*>(s.bytes.data()), static_cast<std::streamsize>(header[2])))
            return false;
        scenes.push_back(std::move(s));
    }
    return in.eof();
}
