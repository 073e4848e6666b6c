#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <string>
#include <vector>

// The host's view of a plug-in's parameters, as getParameterInfo reports them.
class ParameterCatalog {
public:
    struct Entry {
        Steinberg::Vst::ParameterInfo info;
        std::string title;
        std::string units;
    };

    bool read(Steinberg::Vst::IEditController* controller, std::string& error);

    const std::vector<Entry>& entries() const { return entries_; }
    // The plug-in's own parameters: neither the host-side bypass nor a program change.
    // Titles match exactly first, then ignoring letter case.
    const Entry* findPluginParameter(const std::string& title) const;
    const Entry* hostBypass() const;

    // "Title [units] min to max" lines for the plug-in's own parameters.
    std::string describePluginParameters() const;
    // The --list-params table.
    std::string listing() const;

    static std::string flagsText(Steinberg::int32 flags);

private:
    static bool isPluginParameter(const Entry& entry);
    std::string plainText(Steinberg::Vst::ParamID id, double normalized) const;

    Steinberg::Vst::IEditController* controller_ = nullptr;
    std::vector<Entry> entries_;
};
