#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <string>
#include <vector>

// The bundle's Contents/Resources/moduleinfo.json, from what a module's
// factory answers: hosts read it to list the classes without loading the
// module. Plain JSON, which JSON5 readers take as it is.
class ModuleInfoWriter
{
public:
    // `snapshotFiles`: the file names in Resources/Snapshots; each class lists
    // those named "<CID>_snapshot.png" (scale 1) and "<CID>_snapshot_<S>x.png".
    bool write(Steinberg::IPluginFactory* factory, const std::string& moduleName, const std::string& moduleVersion,
               const std::vector<std::string>& snapshotFiles, std::string& json, std::string& error) const;

    // The class ID as moduleinfo.json and the snapshot names spell it: the
    // 16 bytes in order, as 32 upper-case hexadecimal digits.
    static std::string classIdText(const Steinberg::TUID cid);
};
