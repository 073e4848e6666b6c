#include "FactoryPresetWriter.h"

#include "ComponentHandler.h"
#include "HostContext.h"
#include "ParameterCatalog.h"
#include "ParameterSettings.h"
#include "PendingFile.h"
#include "PluginInstance.h"
#include "VstPreset.h"

#include <cstdio>

using namespace Steinberg;

namespace {
const char* const kHostName = "tidepull-presets";

std::string exactText(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}
}   // namespace

bool FactoryPresetWriter::run(const std::string& bundlePath, const std::string& folder, bool forWindows,
                              std::string& error)
{
    written_.clear();
    forWindows_ = forWindows;
    if (!module_.load(bundlePath, error) || !module_.findAudioEffect(effect_, error))
        return false;
    for (const FactoryPresets::Preset& preset : FactoryPresets::all()) {
        const std::string path = folder + "/" + FactoryPresets::fileName(preset);
        if (!writeOne(preset, path, error)) {
            error = "preset \"" + std::string(preset.name) + "\": " + error;
            return false;
        }
        written_.push_back(path);
    }
    return true;
}

bool FactoryPresetWriter::writeOne(const FactoryPresets::Preset& preset, const std::string& path, std::string& error)
{
    IPtr<HostContext> context = owned(new HostContext(kHostName));
    IPtr<ComponentHandler> handler = owned(new ComponentHandler);
    PluginInstance instance;
    if (!instance.create(module_, effect_, context, handler, error))
        return false;

    std::vector<ParameterSettings::Setting> settings;
    for (int i = 0; i < FactoryPresets::kParameterCount; ++i)
        settings.emplace_back(FactoryPresets::parameterTitles()[i], exactText(preset.values[i]));
    ParameterCatalog catalog;
    ParameterSettings resolved;
    if (!catalog.read(instance.controller(), error) ||
        !resolved.resolve(settings, catalog, instance.controller(), error))
        return false;
    // The plug-in would limit such a value; the table must not rely on that.
    if (!resolved.notes().empty()) {
        error = resolved.notes().front();
        return false;
    }
    for (const ParameterSettings::Change& change : resolved.changes())
        if (instance.controller()->setParamNormalized(change.id, change.normalized) != kResultOk) {
            error = "the plug-in refused the value of \"" + change.title + "\"";
            return false;
        }

    std::vector<uint8_t> bytes;
    PendingFile file;
    return VstPreset::write(instance, effect_.cid, bytes, error) &&
        (!forWindows_ || VstPreset::respellClassId(bytes, VstPreset::windowsClassIdText(effect_.cid), error)) &&
        file.create(path, error) && file.writeAll(bytes.data(), bytes.size(), error) && file.commit(error);
}
