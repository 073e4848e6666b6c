#pragma once

#include "CommandLine.h"
#include "ComponentHandler.h"
#include "HostContext.h"
#include "PluginInstance.h"
#include "PluginModule.h"

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/vsttypes.h"

#include <string>
#include <utility>
#include <vector>

class AudioClip;
class ParameterCatalog;
class ParameterSettings;

// One run of the tool: loads the plug-in, lists its parameters or renders a
// file through it, and prints the summary. Messages go to stdout, the one
// error line (and what helps to mend it) to stderr.
class RenderSession {
public:
    static constexpr const char* kProgramName = "tidepull-render";
    static constexpr const char* kHostName = "tidepull-render";

    // The process exit code: 0 on success, 1 on any failure.
    int run(const CommandLine::Options& options);

private:
    typedef std::pair<Steinberg::Vst::ParamID, Steinberg::Vst::ParamValue> Change;

    bool execute(const CommandLine::Options& options, std::string& error);
    bool loadPlugin(const CommandLine::Options& options, std::string& error);
    // A --ramp resolved: the parameter and its ends in plain values.
    struct Ramp {
        Steinberg::Vst::ParamID id;
        std::string title;
        double from;
        double to;
    };

    // The --set, --host-bypass and --ramp start changes as normalised values, checked against the plug-in's
    // parameters; a value outside its parameter's range is refused. The ramps go to ramps_.
    bool resolveSettings(const CommandLine::Options& options, const ParameterCatalog& catalog,
                         ParameterSettings& settings, std::vector<Change>& changes, std::string& error);
    // A state file is refused unless it is as long as the state the plug-in saves.
    bool checkStateFile(const ByteStream& file, const std::string& path, std::string& error);
    static std::string describeClip(const AudioClip& clip);
    static std::string dbText(double db);

    // Declared first so that it is unloaded last, and the host objects outlive the instance.
    PluginModule module_;
    PluginModule::EffectClass effect_;
    Steinberg::IPtr<HostContext> context_;
    Steinberg::IPtr<ComponentHandler> handler_;
    PluginInstance instance_;
    std::vector<Ramp> ramps_;
};
