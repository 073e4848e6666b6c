#include "SnapshotSession.h"

#include "AudioClip.h"
#include "AudioFile.h"
#include "DemoSignal.h"
#include "ParameterCatalog.h"
#include "ParameterChanges.h"
#include "ParameterSettings.h"
#include "PendingFile.h"
#include "PngEncoder.h"
#include "Renderer.h"
#include "VstText.h"

#include "gui/BitmapControl.h"
#include "gui/Editor.h"
#include "pix/PIX_SysBitmap.h"
#include "plug/Tidepull.h"

#include <cmath>
#include <cstdio>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
constexpr double kRateWithoutAudio = 48000.0;
constexpr int kBlockSize = 512;

std::string numberText(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}
}

int SnapshotSession::run(const SnapshotCommandLine::Options& options)
{
    std::string error;
    if (execute(options, error))
        return 0;
    std::fprintf(stderr, "%s: %s\n", kProgramName, error.c_str());
    return 1;
}

bool SnapshotSession::execute(const SnapshotCommandLine::Options& options, std::string& error)
{
    context_ = owned(new HostContext(kProgramName));
    handler_ = owned(new ComponentHandler);

    // The instance takes the one reference; `plug` stays valid as long as it.
    Tidepull* plug = new Tidepull();
    IComponent* component = nullptr;
    plug->queryInterface(IComponent::iid, reinterpret_cast<void**>(&component));
    plug->release();
    if (!instance_.adopt(component, context_, handler_, error))
        return false;
    Editor* editor = dynamic_cast<Editor*>(plug->GetEditor());
    if (!editor || !editor->DrawingSurface())
    {
        error = "this build of Tidepull has no editor to draw";
        return false;
    }

    ParameterCatalog catalog;
    ParameterSettings settings;
    if (!catalog.read(instance_.controller(), error) ||
        !settings.resolve(options.sets, catalog, instance_.controller(), error))
        return false;
    for (const std::string& note : settings.notes())
        std::fprintf(stderr, "%s: note: %s\n", kProgramName, note.c_str());

    AudioClip audio;
    const bool withAudio = options.demo || !options.audioPath.empty();
    if (options.demo)
        audio = DemoSignal::make();
    else if (!options.audioPath.empty() && !AudioFile::read(options.audioPath, audio, error))
        return false;

    // Claimed before the work so that an unwritable place fails early.
    PendingFile image;
    if (!image.create(options.outputPath, error))
        return false;

    if (!instance_.arrangeBuses(false, error) ||
        !instance_.setupProcessing(withAudio ? audio.sampleRate() : kRateWithoutAudio, kBlockSize, 32, error) ||
        !instance_.activate(error) || !instance_.startProcessing(error) || !applySettings(settings, error))
        return false;
    if (withAudio)
    {
        Renderer renderer(instance_, Renderer::Settings{kBlockSize, 32});
        AudioClip output;
        if (!renderer.render(audio, nullptr, output, nullptr, error))
            return false;
    }
    instance_.stopProcessing();
    instance_.deactivate();

    editor->Render(Bounds(0, 0, editor->Width(), editor->Height()));
    std::vector<uint8_t> png;
    if (!PngEncoder::encode(*editor->DrawingSurface(), png, error) || !image.writeAll(png.data(), png.size(), error) ||
        !image.commit(error))
        return false;

    std::printf("image      '%s' (%d x %d)\n", options.outputPath.c_str(), static_cast<int>(editor->Width()),
                static_cast<int>(editor->Height()));
    const std::string settingsText = settings.summary();
    std::printf("settings   %s\n", settingsText.empty() ? "defaults" : settingsText.substr(0, settingsText.size() - 2).c_str());
    if (withAudio)
    {
        const std::string source = options.demo ? "built-in demo signal" : "'" + options.audioPath + "'";
        const auto* meter = dynamic_cast<const BitmapControl*>(editor->GetControl(plug->MeterControlIndex()));
        const double reduction = plug->MeterState();
        std::printf("audio      %s, %.2f s\n", source.c_str(), audio.seconds());
        std::printf("meter      %s dB of gain reduction at the end (needle frame %d of 121)\n",
                    reduction < 1.0 ? numberText("%.1f", -20.0 * std::log10(1.0 - reduction)).c_str() : "inf",
                    meter ? static_cast<int>(meter->CurrentFrame()) : 0);
    }
    return true;
}

bool SnapshotSession::applySettings(const ParameterSettings& settings, std::string& error)
{
    ParameterChanges changes(static_cast<int>(settings.changes().size()) + 1, 1);
    for (const ParameterSettings::Change& change : settings.changes())
    {
        // The controller side follows, as it does for a DAW's automation.
        instance_.controller()->setParamNormalized(change.id, change.normalized);
        if (!changes.add(change.id, 0, change.normalized))
        {
            error = "cannot queue the change of \"" + change.title + "\"";
            return false;
        }
    }
    ProcessData data;
    data.processMode = kOffline;
    data.symbolicSampleSize = kSample32;
    data.numSamples = 0;
    data.inputParameterChanges = &changes;
    const tresult result = instance_.processor()->process(data);
    if (result != kResultOk)
    {
        error = "the plug-in refused the parameter changes (" + VstText::resultName(result) + ")";
        return false;
    }
    return true;
}
