#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <string>
#include <vector>

// The bundle's Contents/Resources/moduleinfo.json, from what a module's
// factory answers: hosts read it to list the classes without loading the
// module. Plain JSON, which JSON5 readers take as it is.
class ModuleInfoWriter {
public:
    // Where the snapshots lie, from the bundle root; the paths in the file are given from there too.
    static constexpr const char* kSnapshotFolder = "Contents/Resources/Snapshots";

    // `snapshotFiles`: the file names in the snapshot folder; each class lists
    // those named "<CID>_snapshot.png" (scale 1) and "<CID>_snapshot_<S>x.png".
    bool write(Steinberg::IPluginFactory* factory, const std::string& moduleName, const std::string& moduleVersion,
               const std::vector<std::string>& snapshotFiles, std::string& json, std::string& error) const;

    // The class ID as moduleinfo.json and the snapshot names spell it: 32
    // upper-case hexadecimal digits as this platform's SDK prints them.
    static std::string classIdText(const Steinberg::TUID cid);
};
