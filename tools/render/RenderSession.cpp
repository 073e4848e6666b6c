#include "RenderSession.h"

#include "AudioClip.h"
#include "AudioFile.h"
#include "BundleSearch.h"
#include "ByteStream.h"
#include "ComponentHandler.h"
#include "DemoSignal.h"
#include "HostContext.h"
#include "ParameterCatalog.h"
#include "ParameterSettings.h"
#include "PendingFile.h"
#include "ProgressBar.h"
#include "Renderer.h"
#include "SavedState.h"
#include "VstPreset.h"

#include <cmath>
#include <cstdio>

using namespace Steinberg;

namespace {
std::string numberText(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}
}   // namespace

int RenderSession::run(const CommandLine::Options& options)
{
    std::string error;
    if (execute(options, error))
        return 0;
    std::fprintf(stderr, "%s: %s\n", kProgramName, error.c_str());
    return 1;
}

bool RenderSession::loadPlugin(const CommandLine::Options& options, std::string& error)
{
    const std::string bundle = options.pluginPath.empty() ? BundleSearch::defaultBundle() : options.pluginPath;
    return module_.load(bundle, error) && module_.findAudioEffect(effect_, error);
}

bool RenderSession::execute(const CommandLine::Options& options, std::string& error)
{
    if (!loadPlugin(options, error))
        return false;
    context_ = owned(new HostContext(kHostName));
    handler_ = owned(new ComponentHandler);
    if (!instance_.create(module_, effect_, context_, handler_, error))
        return false;

    const std::string pluginLine = effect_.name + (effect_.version.empty() ? "" : " " + effect_.version) +
        (module_.factoryVendor().empty() ? "" : " by " + module_.factoryVendor()) + " (" + module_.bundlePath() + ")";
    ParameterCatalog catalog;
    if (!catalog.read(instance_.controller(), error))
        return false;
    if (options.listParams) {
        std::printf("plug-in    %s\n%s", pluginLine.c_str(), catalog.listing().c_str());
        return true;
    }

    std::vector<Change> changes;
    ParameterSettings settings;
    if (!resolveSettings(options, catalog, settings, changes, error))
        return false;

    AudioClip input;
    if (options.inputPath.empty())
        input = DemoSignal::make();
    else if (!AudioFile::read(options.inputPath, input, error))
        return false;
    AudioClip sidechain;
    if (!options.sidechainPath.empty()) {
        if (!AudioFile::read(options.sidechainPath, sidechain, error))
            return false;
        if (sidechain.sampleRate() != input.sampleRate()) {
            error = "the sidechain '" + options.sidechainPath + "' runs at " +
                numberText("%g", sidechain.sampleRate()) + " Hz and the input at " +
                numberText("%g", input.sampleRate()) + " Hz; they must match";
            return false;
        }
    }
    ByteStream* stateIn = new ByteStream;
    IPtr<ByteStream> stateInHolder = owned(stateIn);
    if (!options.stateInPath.empty() &&
        (!stateIn->loadFile(options.stateInPath, error) || !checkStateFile(*stateIn, options.stateInPath, error)))
        return false;
    VstPreset preset;
    if (!options.presetPath.empty() && !preset.read(options.presetPath, effect_.cid, error))
        return false;

    // Claimed before rendering so that an unwritable place fails early.
    PendingFile audioOut;
    PendingFile stateOut;
    PendingFile presetOut;
    if (!audioOut.create(options.outputPath, error))
        return false;
    if (!options.stateOutPath.empty() && !stateOut.create(options.stateOutPath, error))
        return false;
    if (!options.savePresetPath.empty() && !presetOut.create(options.savePresetPath, error))
        return false;

    const bool useSidechain = !options.sidechainPath.empty();
    if (!instance_.arrangeBuses(useSidechain, error) ||
        !instance_.setupProcessing(input.sampleRate(), options.blockSize, options.precision, error))
        return false;
    // After setupProcessing, which may reset what the state sets (a host-side bypass, say).
    if (!options.stateInPath.empty() && !instance_.loadState(*stateIn, error))
        return false;
    if (!options.presetPath.empty() && !preset.applyTo(instance_, error))
        return false;
    Renderer renderer(instance_, Renderer::Settings{options.blockSize, options.precision, options.leadIn});
    for (const Change& change : changes) {
        // The controller follows the change as it follows a DAW's automation lane; it may refuse
        // IDs it keeps no value for, such as a host-side bypass.
        instance_.controller()->setParamNormalized(change.first, change.second);
        renderer.addInitialChange(change.first, change.second);
    }
    for (const Ramp& ramp : ramps_)
        renderer.addRamp(ramp.id, ramp.from, ramp.to);
    if (!instance_.activate(error) || !instance_.startProcessing(error))
        return false;

    AudioClip output;
    {
        ProgressBar bar(ProgressBar::stderrIsTerminal() && input.seconds() > 1.0);
        const bool rendered = renderer.render(
            input, useSidechain ? &sidechain : nullptr, output, [&bar](double fraction) { bar.update(fraction); },
            error);
        bar.finish();
        if (!rendered)
            return false;
    }
    instance_.stopProcessing();
    instance_.deactivate();
    // What the plug-in really holds, read back from it.
    std::string settingsText = settings.summary(instance_.controller());
    for (const Ramp& ramp : ramps_)
        settingsText +=
            ramp.title + " ramped from " + numberText("%g", ramp.from) + " to " + numberText("%g", ramp.to) + ", ";
    if (options.hostBypass)
        settingsText += "host bypass on, ";
    if (options.leadIn)
        settingsText += "1 s of silence before the input (not written), ";

    if (!options.stateOutPath.empty()) {
        ByteStream* state = new ByteStream;
        IPtr<ByteStream> stateHolder = owned(state);
        if (!instance_.saveState(*state, error) ||
            !stateOut.writeAll(state->bytes().data(), state->bytes().size(), error))
            return false;
    }
    if (!options.savePresetPath.empty()) {
        std::vector<uint8_t> presetBytes;
        if (!VstPreset::write(instance_, effect_.cid, presetBytes, error) ||
            !presetOut.writeAll(presetBytes.data(), presetBytes.size(), error))
            return false;
    }
    if (!AudioFile::writeWav(audioOut, output, options.precision, error) || !audioOut.commit(error))
        return false;
    if (!options.stateOutPath.empty() && !stateOut.commit(error))
        return false;
    if (!options.savePresetPath.empty() && !presetOut.commit(error))
        return false;

    const std::string inputName = options.inputPath.empty() ? "built-in demo signal" : "'" + options.inputPath + "'";
    std::printf("plug-in    %s\n", pluginLine.c_str());
    std::printf("input      %s: %s\n", inputName.c_str(), describeClip(input).c_str());
    if (useSidechain)
        std::printf("sidechain  '%s': %s\n", options.sidechainPath.c_str(), describeClip(sidechain).c_str());
    std::printf("output     '%s' (%d-bit float WAV): %s\n", options.outputPath.c_str(), options.precision,
                describeClip(output).c_str());
    const double peakChange = output.peakDb() - input.peakDb();
    const double rmsChange = output.rmsDb() - input.rmsDb();
    std::printf("change     peak %s dB, RMS %s dB\n", dbText(peakChange).c_str(), dbText(rmsChange).c_str());
    std::printf("settings   %s%d-bit processing in blocks of %d samples\n", settingsText.c_str(), options.precision,
                options.blockSize);
    if (!options.stateInPath.empty())
        std::printf("state in   '%s' (%zu bytes)\n", options.stateInPath.c_str(), stateIn->bytes().size());
    if (!options.stateOutPath.empty())
        std::printf("state out  '%s'\n", options.stateOutPath.c_str());
    if (!options.presetPath.empty())
        std::printf("preset in  '%s'\n", options.presetPath.c_str());
    if (!options.savePresetPath.empty())
        std::printf("preset out '%s'\n", options.savePresetPath.c_str());
    return true;
}

bool RenderSession::resolveSettings(const CommandLine::Options& options, const ParameterCatalog& catalog,
                                    ParameterSettings& settings, std::vector<Change>& changes, std::string& error)
{
    if (!settings.resolve(options.sets, catalog, instance_.controller(), error))
        return false;
    for (const std::string& rename : settings.renames())
        std::fprintf(stderr, "%s: note: %s\n", kProgramName, rename.c_str());
    // The plug-in would silently take another value than the one asked for.
    if (!settings.notes().empty()) {
        error = settings.notes().front() + "; give a value in that range";
        return false;
    }
    for (const ParameterSettings::Change& change : settings.changes())
        changes.emplace_back(change.id, change.normalized);
    // Both ends of each ramp, read and checked as --set values are.
    std::vector<ParameterSettings::Setting> starts;
    std::vector<ParameterSettings::Setting> ends;
    for (const CommandLine::Ramp& ramp : options.ramps) {
        starts.emplace_back(ramp.name, ramp.from);
        ends.emplace_back(ramp.name, ramp.to);
    }
    ParameterSettings from;
    ParameterSettings to;
    if (!from.resolve(starts, catalog, instance_.controller(), error) ||
        !to.resolve(ends, catalog, instance_.controller(), error))
        return false;
    for (const std::string& rename : from.renames())
        std::fprintf(stderr, "%s: note: %s\n", kProgramName, rename.c_str());
    for (const ParameterSettings* ramp : {&from, &to}) {
        if (!ramp->notes().empty()) {
            error = "--ramp " + ramp->notes().front() + "; give values in that range";
            return false;
        }
    }
    ramps_.clear();
    for (size_t i = 0; i < from.changes().size(); ++i) {
        const ParameterSettings::Change& start = from.changes()[i];
        // One value per parameter at a time: the start would race the other.
        for (const Change& earlier : changes) {
            if (earlier.first == start.id) {
                error = "\"" + start.title + "\" is given to --ramp and also to --set or another --ramp";
                return false;
            }
        }
        changes.emplace_back(start.id, start.normalized);
        ramps_.push_back(Ramp{start.id, start.title, start.plain, to.changes()[i].plain});
    }
    if (options.hostBypass) {
        const ParameterCatalog::Entry* bypass = catalog.hostBypass();
        if (!bypass) {
            error = "the plug-in has no host-side bypass parameter for --host-bypass";
            return false;
        }
        changes.emplace_back(bypass->info.id, 1.0);
    }
    return true;
}

bool RenderSession::checkStateFile(const ByteStream& file, const std::string& path, std::string& error)
{
    ByteStream* own = new ByteStream;
    IPtr<ByteStream> ownHolder = owned(own);
    return instance_.saveState(*own, error) &&
        SavedState::check(path, file.bytes(), own->bytes().size(), effect_.name, error);
}

std::string RenderSession::describeClip(const AudioClip& clip)
{
    return numberText("%g Hz, ", clip.sampleRate()) + std::to_string(clip.channelCount()) + " ch, " +
        numberText("%.2f s", clip.seconds()) + ", peak " + dbText(clip.peakDb()) + " dBFS, RMS " +
        dbText(clip.rmsDb()) + " dBFS";
}

std::string RenderSession::dbText(double db)
{
    if (std::isnan(db))
        return "n/a";
    if (std::isinf(db))
        return db < 0 ? "-inf" : "+inf";
    // No "-0.00" for a change too small to show.
    return numberText("%+.2f", std::fabs(db) < 0.005 ? 0.0 : db);
}
