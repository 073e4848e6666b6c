#pragma once

#include "ComponentHandler.h"
#include "HostContext.h"
#include "PluginInstance.h"
#include "SnapshotCommandLine.h"

#include "pluginterfaces/base/smartpointer.h"

#include <string>
#include <vector>

class AudioClip;
class Editor;
class ParameterSettings;

// One run of the tool: builds a Tidepull in this process and drives it as a
// host does (parameter changes in a block of their own, then the audio),
// draws its editor without a window and writes the image. Messages go to
// stdout, the one error line to stderr.
class SnapshotSession
{
public:
    static constexpr const char* kProgramName = "tidepull-snapshot";

    // The process exit code: 0 on success, 1 on any failure.
    int run(const SnapshotCommandLine::Options& options);

private:
    bool execute(const SnapshotCommandLine::Options& options, std::string& error);
    // The changes in a block of no samples, the way hosts flush parameters.
    bool applySettings(const ParameterSettings& settings, std::string& error);

    // Declared first so that they outlive the instance.
    Steinberg::IPtr<HostContext> context_;
    Steinberg::IPtr<ComponentHandler> handler_;
    PluginInstance instance_;
};
