#include "VstPreset.h"

#include "PluginInstance.h"

#include "public.sdk/source/vst/vstpresetfile.h"

#include <cstdio>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
// A chunk of `file` copied into a stream of its own, or none when the file
// has no such chunk. False when the chunk's place lies outside the file.
bool extractChunk(const PresetFile& preset, ChunkType type, const ByteStream& file, IPtr<ByteStream>& chunk)
{
    chunk = nullptr;
    const PresetFile::Entry* entry = preset.getEntry(type);
    if (!entry)
        return true;
    const int64 fileSize = static_cast<int64>(file.bytes().size());
    if (entry->offset < 0 || entry->size < 0 || entry->offset > fileSize || entry->size > fileSize - entry->offset)
        return false;
    chunk = owned(new ByteStream);
    if (entry->size > 0)
        chunk->write(const_cast<uint8_t*>(file.bytes().data()) + entry->offset, static_cast<int32>(entry->size),
                     nullptr);
    chunk->rewind();
    return true;
}
}   // namespace

bool VstPreset::read(const std::string& path, const TUID classId, std::string& error)
{
    path_ = path;
    componentState_ = nullptr;
    controllerState_ = nullptr;

    IPtr<ByteStream> file = owned(new ByteStream);
    if (!file->loadFile(path, error))
        return false;
    // Sizes beyond what the SDK's 32-bit reads can take are not presets of ours.
    if (file->bytes().size() > 0x7fffffffu) {
        error = "'" + path + "' is too large for a VST 3 preset";
        return false;
    }

    PresetFile preset(file);
    if (!preset.readChunkList()) {
        error = "'" + path + "' is not a VST 3 preset file (no 'VST3' header or no chunk list)";
        return false;
    }
    const FUID wanted = FUID::fromTUID(classId);
    if (preset.getClassID() != wanted) {
        char8 found[33] = {};
        preset.getClassID().toString(found);
        error = "'" + path + "' is a preset for another plug-in (class ID " + std::string(found) +
            "; this plug-in's is " + classIdText(classId) + ")";
        return false;
    }
    if (!extractChunk(preset, kComponentState, *file, componentState_) ||
        !extractChunk(preset, kControllerState, *file, controllerState_)) {
        error = "'" + path + "' is damaged: a state chunk runs past the end of the file";
        return false;
    }
    if (!componentState_) {
        error = "'" + path + "' holds no component state";
        return false;
    }
    return true;
}

bool VstPreset::applyTo(PluginInstance& instance, std::string& error) const
{
    if (!componentState_) {
        error = "no preset has been read";
        return false;
    }
    std::string why;
    if (!instance.loadState(*componentState_, why)) {
        error = "the preset '" + path_ + "' could not be loaded: " + why;
        return false;
    }
    // A single-component effect has had its whole state from the component
    // chunk; a separate controller has its own.
    if (instance.hasSeparateController() && controllerState_) {
        controllerState_->rewind();
        const tresult result = instance.controller()->setState(controllerState_);
        if (result != kResultOk && result != kNotImplemented) {
            error = "the preset '" + path_ + "' could not be loaded: the edit controller refused its state";
            return false;
        }
    }
    return true;
}

bool VstPreset::write(PluginInstance& instance, const TUID classId, std::vector<uint8_t>& bytes, std::string& error)
{
    IPtr<ByteStream> componentState = owned(new ByteStream);
    if (!instance.saveState(*componentState, error))
        return false;
    componentState->rewind();

    // The controller's own state; for a single-component effect the same
    // bytes, for hosts that restore the controller side from this chunk.
    IPtr<ByteStream> controllerState = owned(new ByteStream);
    if (instance.hasSeparateController()) {
        const tresult result = instance.controller()->getState(controllerState);
        if (result != kResultOk && result != kNotImplemented) {
            error = "the plug-in's edit controller refused getState";
            return false;
        }
    } else if (!componentState->bytes().empty()) {
        controllerState->write(const_cast<uint8_t*>(componentState->bytes().data()),
                               static_cast<int32>(componentState->bytes().size()), nullptr);
    }
    controllerState->rewind();

    IPtr<ByteStream> file = owned(new ByteStream);
    if (!PresetFile::savePreset(file, FUID::fromTUID(classId), componentState, controllerState)) {
        error = "the preset could not be composed";
        return false;
    }
    bytes = file->bytes();
    return true;
}

std::string VstPreset::classIdText(const TUID classId)
{
    char8 text[33] = {};
    FUID::fromTUID(classId).toString(text);
    return text;
}

std::string VstPreset::windowsClassIdText(const TUID classId)
{
    static const int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    std::string text;
    char digits[3];
    for (const int i : kOrder) {
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(classId[i]));
        text += digits;
    }
    return text;
}

bool VstPreset::respellClassId(std::vector<uint8_t>& bytes, const std::string& text, std::string& error)
{
    // "VST3", a 32-bit format version, then the class ID's 32 characters.
    constexpr size_t kAt = 8;
    constexpr size_t kLength = 32;
    if (text.size() != kLength || bytes.size() < kAt + kLength || std::memcmp(bytes.data(), "VST3", 4) != 0) {
        error = "not a preset file header";
        return false;
    }
    std::memcpy(bytes.data() + kAt, text.data(), kLength);
    return true;
}
