#pragma once

#include "ByteStream.h"

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/base/smartpointer.h"

using vsthost::ByteStream;

#include <cstdint>
#include <string>
#include <vector>

class PluginInstance;

// A VST 3 preset file (.vstpreset), read and written with the SDK's
// PresetFile. A file is read and checked whole before anything is rendered,
// so a bad preset fails the run before any output file exists.
class VstPreset {
public:
    // Reads `path` and checks that it is a preset of the class `classId`
    // holding a component state that lies inside the file.
    bool read(const std::string& path, const Steinberg::TUID classId, std::string& error);
    // The states read into the instance, the way a host restores a preset.
    bool applyTo(PluginInstance& instance, std::string& error) const;

    // The instance's current state as the bytes of a preset of `classId`.
    static bool write(PluginInstance& instance, const Steinberg::TUID classId, std::vector<uint8_t>& bytes,
                      std::string& error);

    // The 32 hexadecimal digits a preset file carries for `classId`.
    static std::string classIdText(const Steinberg::TUID classId);
    // The same digits as the SDK writes and reads them on Windows, where it
    // is COM-compatible: GUID order, bytes 0-3, 4-5 and 6-7 each reversed.
    static std::string windowsClassIdText(const Steinberg::TUID classId);
    // Puts `text` (32 digits) into the class ID field of preset file bytes.
    static bool respellClassId(std::vector<uint8_t>& bytes, const std::string& text, std::string& error);

    const std::string& path() const { return path_; }
    bool hasControllerState() const { return controllerState_ != nullptr; }

private:
    std::string path_;
    Steinberg::IPtr<ByteStream> componentState_;
    Steinberg::IPtr<ByteStream> controllerState_;
};
