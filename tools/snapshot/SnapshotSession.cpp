#include "SnapshotSession.h"

#include "AudioClip.h"
#include "AudioFile.h"
#include "DemoSignal.h"
#include "PendingFile.h"
#include "PngEncoder.h"

#include "gui/BitmapControl.h"
#include "gui/Editor.h"
#include "pix/PIX_SysBitmap.h"
#include "plug/Tidepull.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr double kRateWithoutAudio = 48000.0;
constexpr int kBlockSize = 512;

std::string numberText(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}
}   // namespace

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
    if (!harness_.create(options.sets, error))
        return false;
    Tidepull* plug = harness_.plug();
    Editor* editor = dynamic_cast<Editor*>(plug->GetEditor());
    if (!editor || !editor->DrawingSurface()) {
        error = "this build of Tidepull has no editor to draw";
        return false;
    }

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

    if (!harness_.start(withAudio ? audio.sampleRate() : kRateWithoutAudio, error))
        return false;
    if (withAudio) {
        AudioClip output;
        if (!harness_.settle(error) || !harness_.render(audio, output, kBlockSize, nullptr, error))
            return false;
    }
    harness_.stop();

    editor->SetDisplayScale(DisplayScale::FromFactor(options.scale));
    editor->Render(Bounds(0, 0, editor->Width(), editor->Height()));
    std::vector<uint8_t> png;
    if (!PngEncoder::encode(*editor->DrawingSurface(), png, error) || !image.writeAll(png.data(), png.size(), error) ||
        !image.commit(error))
        return false;

    std::printf("image      '%s' (%d x %d)\n", options.outputPath.c_str(), static_cast<int>(editor->DeviceWidth()),
                static_cast<int>(editor->DeviceHeight()));
    std::printf("settings   %s\n", harness_.settingsText().c_str());
    if (withAudio) {
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
